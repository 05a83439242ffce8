#pragma once

#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

#include "join/merge_job.h"
#include "join/merge_list.h"
#include "merge_rows_target.h"
#include "page.h"

class QAction;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace partita::gui {

class JobRunner;
class MergeListModel;
class MergeListView;

// The joiner pane: the merge list with its commands (add, drop, remove, clear, move, drag, sort,
// play, silence, partial ranges, list files), the output's folder, mode and tag, and the merge
// job, which runs on a worker thread while the window stays live. While it runs the list cannot
// be edited and the Start button stops it.
class JoinerPage : public Page {
    Q_OBJECT

  public:
    JoinerPage(const PageContext& context, QWidget* parent);
    ~JoinerPage() override;

    bool IsBusy() const override;
    bool ApplyCommand(CommandAction action, const std::string& source) override;
    void SaveState() override;

    // How a file is played and a folder opened: the desktop's handler unless replaced.
    void SetUrlOpener(std::function<bool(const QUrl&)> open);

    const MergeList& List() const { return list_; }
    MergeListView* View() const { return view_; }
    // Adds files at the end of the list, one by one, then sorts the list by its stored order
    // (when `resort`) and selects the first file added. Messages of files left out are shown.
    void AddFiles(const QStringList& paths, bool resort = true);
    // Dropped or named on the command line: merge lists are loaded, other files added.
    void AddPaths(const QStringList& paths);

  private:
    enum Command {
        kAdd,
        kRemove,
        kClear,
        kUp,
        kDown,
        kTop,
        kBottom,
        kPlay,
        kSilence,
        kPartial,
        kOpenList,
        kSaveList,
        kCommandCount
    };

    void BuildLayout();
    void BuildCommands();
    QAction* MakeCommand(Command command, const QString& text, Msg tip, const QKeySequence& keys,
                         void (JoinerPage::*run)());

    // The list's commands.
    void AddWithDialog();
    void RemoveSelected();
    void ClearList();
    void Move(MergeMove move);
    void MoveUp() { Move(MergeMove::Up); }
    void MoveDown() { Move(MergeMove::Down); }
    void MoveTop() { Move(MergeMove::Top); }
    void MoveBottom() { Move(MergeMove::Bottom); }
    void MoveDropped(const std::vector<std::size_t>& rows, std::size_t target);
    void PlaySelected();
    void InsertSilence();
    std::vector<std::size_t> RowsOf(MergeRowsTarget target,
                                    const std::vector<std::size_t>& selected) const;
    void PartialMerge();
    void OpenList();
    // Appends the entries of an M3U or PLS list with their ranges and silences, unsorted.
    void LoadList(const QString& path);
    void SaveList();
    void SortByColumn(int column);
    void ShowContextMenu(const QPoint& position);
    // The selected rows; none shows SelectFileFirst (nothing on an empty list).
    std::vector<std::size_t> SelectionOrTell();
    void FinishBatch(std::size_t firstAdded, bool resort);

    // The output: its folder, mode and tag.
    void ChooseOutputFolder();
    void StoreOutputFolder();
    void SetMergeMode(MergeMode mode);
    void EditMergeMode();
    void EditTags();
    void CopyTags();
    void ShowOptions();

    // The merge job.
    void StartOrStop();
    void MergeStarted();
    void MergeFinished();
    void ShowProgress(quint64 position, quint64 range);
    void ShowStatus(const QString& text);

    void UpdateTotals();
    void UpdateSummary();
    void UpdateCommands();
    void RestoreColumns();

    SettingsStore& settings_;
    UserMessages& messages_;
    MergeList list_;
    MergeListModel* model_ = nullptr;
    MergeListView* view_ = nullptr;
    JobRunner* runner_ = nullptr;
    std::function<bool(const QUrl&)> openUrl_;

    QAction* commands_[kCommandCount] = {};
    std::vector<std::pair<QPushButton*, Command>> commandButtons_;
    QPushButton* start_ = nullptr;
    QPushButton* mode_ = nullptr;
    QPushButton* id3_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* outputFolder_ = nullptr;
    QLabel* totalLength_ = nullptr;
    QLabel* totalSize_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    std::vector<QAction*> modeActions_;

    // The page's state the job starts from: mode, output format and the output's tag.
    MergeMode mergeMode_ = MergeMode::Auto;
    int sampleRate_ = 0;
    int channels_ = 0;
    TagInfo tags_;
    MergeSortOrder sort_;
    std::shared_ptr<MergeJobOutcome> outcome_;
};

}  // namespace partita::gui
