#pragma once

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "page.h"
#include "split/silence_detector.h"
#include "split/source_probe.h"
#include "split/split_list.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace partita::gui {

class JobRunner;
class PreviewPanel;
class PreviewSink;
class SplitListModel;
class SplitTreeView;

// The splitter pane: the split list in a tree, the information line above it, the position and
// preview controls, the split-mode switch, the output folder and naming rule, and Start/Stop.
// Loading files, the split and the silence scan run on a worker thread; while one runs the list
// is left alone (every editing command is off, drops are refused) and the page is busy.
class SplitterPage : public Page {
    Q_OBJECT

  public:
    // `sink`: the preview's audio output (null: none).
    SplitterPage(const PageContext& context, std::unique_ptr<PreviewSink> sink, QWidget* parent);
    ~SplitterPage() override;

    bool IsBusy() const override;
    bool ApplyCommand(CommandAction action, const std::string& source) override;
    void SetPreviewAvailable(bool available) override;
    void SaveState() override;

    // Loads files as a drop does: audio files as sources, CUE sheets with their tracks. On a
    // worker thread; false while a job runs.
    bool LoadPaths(const QStringList& paths);

    const SplitList& List() const { return list_; }
    SplitTreeView* Tree() const { return tree_; }
    PreviewPanel* Preview() const { return preview_; }
    // The command with this object name ("insertPoint", "startSplit", ...), for the tests.
    QAction* Command(const QString& name) const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildLayout();
    void BuildCommands();
    QAction* AddCommand(const QString& name, const QString& text, const QString& tip,
                        const QKeySequence& key, void (SplitterPage::*slot)(), bool editing);
    void RestoreColumns();

    // Commands.
    void StartOrStop();
    void AddFiles();
    void OpenCue();
    void SaveCue();
    void ChooseOutputFolder();
    void InsertPoint();
    void SetTrackStart();
    void SetTrackEnd();
    void EditTrackTimes();
    void GoToTrackStart();
    void GoToTrackEnd();
    void EditTags();
    void RemoveSelected();
    void ClearTracks();
    void ClearAll();
    void NewGroup();
    void MoveToGroup();
    void ToggleSelection();
    void ExpandAll();
    void CollapseAll();
    void SpecialSplit();
    void SetOverlaps();
    void SilenceSplit();
    void SplitAtChapters();
    void EditTimeSteps();
    void ShowNamingRuleHelp();
    void ShowModeMenu();
    void SwitchMode(SplitMode mode);
    void MoveTrackEdge(int trackIndex, bool start, quint64 ms);

    // Jobs.
    void StartSplit();
    void ScanForSilence(RowId source, const SilenceOptions& options);
    void RunJob(std::function<void(JobHost&)> work, std::function<void()> finish);
    void JobStarted();
    void JobFinished();

    // State.
    RowId CurrentRow() const;
    RowId CurrentTrack() const;
    void SelectListCurrent();
    void CurrentChanged();
    void UpdateCommands();
    void UpdateInformation();
    void UpdatePreview();
    void ListChanged();
    void SameFolderToggled(bool on);
    void StoreNamingRule();

    PageContext context_;
    SplitList list_;
    std::unique_ptr<SourceProbe> probe_;
    JobRunner* runner_ = nullptr;
    SplitListModel* model_ = nullptr;
    SplitTreeView* tree_ = nullptr;
    PreviewPanel* preview_ = nullptr;
    QLabel* information_ = nullptr;
    QToolButton* modeButton_ = nullptr;
    QMenu* modeMenu_ = nullptr;
    QLineEdit* folderBox_ = nullptr;
    QPushButton* folderButton_ = nullptr;
    QCheckBox* sameFolder_ = nullptr;
    QLineEdit* ruleBox_ = nullptr;
    QPushButton* ruleHelp_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QList<QAction*> editing_;    // off while a job runs
    QList<QAction*> needTrack_;  // off without a track row
    std::function<void()> finishJob_;
    bool refreshPending_ = false;
    std::string shownSource_;
};

}  // namespace partita::gui
