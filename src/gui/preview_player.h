#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "audio/audio_stream.h"
#include "audio/open_error.h"
#include "playback_feed.h"
#include "preview_sink.h"

namespace partita::gui {

// The position and track sliders run over 0 … 32767: value = time / length × 32767 and
// time = value / 32767 × length, both rounded to the nearest.
inline constexpr int kSliderMaximum = 32767;
int SliderValueForTime(std::uint64_t timeMs, std::uint64_t lengthMs);
std::uint64_t TimeForSliderValue(int value, std::uint64_t lengthMs);

// A track's times with its overlaps, within the source: what a track preview plays.
struct TrackSpan {
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;
};

// The four two-second plays at a track's edges.
enum class TrackEdge { BeforeStart, AfterStart, BeforeEnd, AfterEnd };

// The preview buttons of the splitter page, for their tooltips.
enum class PreviewButton {
    Play,          // F2
    Pause,         // Space
    PreviewTrack,  // Ctrl+F2
    PlayBefore,    // F3
    PlayAfter,     // F4
    FastForward,   // F5
    BeforeTrackStart,
    AfterTrackStart,
    BeforeTrackEnd,
    AfterTrackEnd,
};
QString PreviewToolTip(PreviewButton button);

// What the preview buttons show now: enabled, pressed and their labels.
struct PreviewControls {
    bool play = false;
    bool pause = false;
    bool pausePressed = false;
    bool previewTrack = false;
    bool playBefore = false;
    bool playAfter = false;
    bool fastForward = false;
    bool fastForwardPressed = false;
    bool trackEdges = false;
    QString playLabel;     // "播放" / "停止"
    QString previewLabel;  // "预览" / "停止"
    QString speedLabel;    // the speed step, empty at normal speed

    bool operator==(const PreviewControls&) const = default;
};

// Where the keyboard focus should go after a command.
enum class PreviewFocus { TimeField, PauseButton };

// The splitter page's player: one playing stream for the current source, PCM from the audio
// layer pulled by an audio sink. It keeps the position the page shows (time field and position
// slider) and the track slider, and polls what the sink has heard every 50 ms. Every command
// replaces whatever plays; none waits for a play to end.
class PreviewPlayer : public QObject {
    Q_OBJECT

  public:
    enum class Activity { Stopped, PlayingFromPosition, PreviewingTrack, PlayingTwoSeconds };
    // How a track command went; NeedsSelection: nothing is selected, the page shows
    // SelectionNeededText().
    enum class TrackResult { Done, NeedsSelection };
    static QString SelectionNeededText();

    static constexpr int kTickMs = 50;
    static constexpr std::uint64_t kTwoSecondsMs = 2000;

    explicit PreviewPlayer(std::unique_ptr<PreviewSink> sink, QObject* parent = nullptr);
    ~PreviewPlayer() override;

    // Whether preview works on this machine (an output device exists).
    bool Available() const { return sink_->Available(); }

    // Makes a source current: stops what plays, closes the previous stream and, with an output,
    // opens one for this source (with the pre-scan in frame split mode, so that preview lands
    // where the cut will). `lengthMs` is the source's length as the page knows it. Returns why
    // the stream could not be opened (None when it opened or there is no output).
    audio::OpenError SetSource(const std::string& path, std::uint64_t lengthMs, bool frameMode);
    void CloseSource();
    bool HasSource() const { return hasSource_; }
    std::uint64_t SourceLength() const { return length_; }

    // --- Commands -----------------------------------------------------------------------
    // The position from the slider, the time field or a position key; ignored past the end.
    void SetPosition(std::uint64_t ms);
    // F2: plays from the position, or stops that play.
    void PlayFromPosition();
    // Space: pauses or resumes a play from the position.
    void PauseResume();
    // Ctrl+F2: plays the selected track (with its overlaps) from the track slider's place, or
    // stops that preview.
    TrackResult PreviewTrack(const std::optional<TrackSpan>& selected);
    // The track slider moved: shows its time and, while previewing, plays on from there.
    void MoveTrackSlider(int value, const std::optional<TrackSpan>& selected);
    // F3, F4: the two seconds before or after the position.
    void PlayBeforePosition();
    void PlayAfterPosition();
    // The two seconds around an edge of the selected track; during a track preview they only
    // stop it.
    TrackResult PlayTrackEdge(TrackEdge edge, const std::optional<TrackSpan>& selected);
    // F5: 1×, 1.5×, 2×, 1× … (the pitch rises with the speed).
    void FastForward();
    // Stops whatever plays (before a split or a silence scan, or when the page resets).
    void Stop();

    // --- State ----------------------------------------------------------------------------
    Activity CurrentActivity() const { return activity_; }
    bool Paused() const { return paused_; }
    int SpeedStep() const { return speedStep_; }
    double Speed() const { return 1.0 + speedStep_ * 0.5; }
    // The time field's time.
    std::uint64_t Position() const { return position_; }
    int PositionSlider() const { return positionSlider_; }
    int TrackSlider() const { return trackSlider_; }
    // What is being heard now (the position while nothing plays).
    std::uint64_t Playhead() const;
    PreviewControls Controls() const;

  signals:
    void positionChanged(quint64 ms);  // the time field
    void positionSliderChanged(int value);
    void trackSliderChanged(int value);
    void playheadChanged(quint64 ms);
    void controlsChanged();
    void focusRequested(partita::gui::PreviewFocus target);

  private:
    bool Ready() const { return sink_->Available() && stream_ != nullptr; }
    // Starts a play of [fromMs, toMs); false when nothing could be started.
    bool Play(Activity activity, std::uint64_t fromMs, std::uint64_t toMs);
    // Plays on from `fromMs` with the same end (a seek, or a new speed).
    void Restart(std::uint64_t fromMs);
    void StopActivity();
    void StopPlayFromPosition();
    void StopTrackPreview();
    void PlayTwoSeconds(std::int64_t fromMs, std::int64_t toMs);
    void Tick();
    void ShowPosition(std::uint64_t ms);
    void MovePositionSlider(int value);
    void MoveTrackSliderTo(int value);
    void UpdateControls();

    std::unique_ptr<PreviewSink> sink_;
    std::unique_ptr<audio::AudioStream> stream_;
    PlaybackFeed feed_;
    QTimer timer_;

    bool hasSource_ = false;
    std::uint64_t length_ = 0;
    Activity activity_ = Activity::Stopped;
    bool paused_ = false;
    int speedStep_ = 0;
    std::uint64_t position_ = 0;
    int positionSlider_ = 0;
    int trackSlider_ = 0;
    std::uint64_t playStart_ = 0;  // where the play from the position started
    TrackSpan preview_;            // the track being previewed
    std::uint64_t playEnd_ = 0;    // where the running play ends
    PreviewControls controls_;     // as last announced
};

}  // namespace partita::gui
