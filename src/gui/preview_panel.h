#pragma once

#include <QList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "envelope_loader.h"
#include "preview_player.h"
#include "time_entry_box.h"
#include "waveform_view.h"

class QAction;
class QLabel;
class QSlider;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

class PreviewButtons;

// The splitter page's position controls and preview: the waveform overview, the position slider,
// the time box with its stepping keys, the track slider and the preview buttons with their labels.
class PreviewPanel : public QWidget {
    Q_OBJECT

  public:
    // `sink` null: no audio output on this machine.
    PreviewPanel(std::unique_ptr<PreviewSink> sink, SettingsStore& settings,
                 QWidget* parent = nullptr);
    ~PreviewPanel() override;

    // The current source (length in ms; frame split mode opens the stream with the pre-scan), or
    // none.
    void ShowSource(const std::string& path, std::uint64_t lengthMs, bool frameMode);
    void ShowNoSource();
    // A source left the list: its kept envelope is forgotten.
    void ForgetSource(const std::string& path);
    // The current source's tracks in list order (start/end without overlaps) and the selected one
    // (its span with overlaps, what a track preview plays), for the markers and the track buttons.
    void SetTracks(std::vector<TimeRange> tracks);
    void SetSelectedTrack(std::optional<int> trackIndex, std::optional<TrackSpan> span);
    void SetSilences(std::vector<TimeRange> ranges);
    std::uint64_t Position() const;
    void SetPosition(std::uint64_t ms);
    void SetStepSizes(int stepMs, int pageMs);
    // Stops whatever plays (a split or a silence scan starts, the page resets).
    void StopPlayback();
    // False: no output device; the preview controls are off with the window's note, the rest
    // works.
    void SetPreviewAvailable(bool available);
    // A job runs: the preview stops and its controls are off.
    void SetBusy(bool busy);
    QWidget* TimeBox() const;
    // F2, Space, Ctrl+F2, F3, F4, F5 (shortcut context Qt::WidgetWithChildrenShortcut): the page
    // adds them to itself so that the keys work page-wide, and to its context menu.
    QList<QAction*> Actions() const;

  signals:
    void insertPointRequested();                                          // Enter in the time box
    void trackEdgeMoveRequested(int trackIndex, bool start, quint64 ms);  // a marker dragged
    void positionChanged(quint64 ms);
    void selectionNeeded();  // a track command with no track selected: the page says so

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A track boundary on the waveform: the track whose start or end it is.
    struct Marker {
        std::uint64_t ms = 0;
        int track = 0;
        bool start = true;
    };

    void Connect();
    bool Usable() const;
    void Run(PreviewButton button);
    void Step(int key);
    void MoveMarker(int index, quint64 ms);
    void ShowSelectedRange();
    void UpdateControls();

    std::unique_ptr<PreviewPlayer> player_;
    TimeSteps steps_;
    std::string sourcePath_;
    bool frameMode_ = false;
    std::vector<TimeRange> tracks_;
    std::vector<Marker> markers_;  // in time order, as the waveform numbers them
    std::optional<int> selectedIndex_;
    std::optional<TrackSpan> selectedSpan_;
    bool available_ = true;
    bool busy_ = false;

    EnvelopeLoader loader_;
    WaveformView* waveform_ = nullptr;
    QSlider* positionSlider_ = nullptr;
    TimeEntryBox* timeBox_ = nullptr;
    QSlider* trackSlider_ = nullptr;
    PreviewButtons* buttons_ = nullptr;
    QLabel* noOutputNote_ = nullptr;
    QLabel* positionLabel_ = nullptr;
    QLabel* trackLabel_ = nullptr;
    QList<QAction*> actions_;
};

}  // namespace partita::gui
