#include "preview_player.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "audio/audio_engine.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

// In the order of PreviewButton.
constexpr std::array kToolTips{Msg::PlayTip,
                               Msg::PauseTip,
                               Msg::PreviewTrackTip,
                               Msg::PlayBeforeTip,
                               Msg::PlayAfterTip,
                               Msg::FastForwardTip,
                               Msg::PlayBeforeTrackStartTip,
                               Msg::PlayAfterTrackStartTip,
                               Msg::PlayBeforeTrackEndTip,
                               Msg::PlayAfterTrackEndTip};
static_assert(kToolTips.size() == static_cast<std::size_t>(PreviewButton::AfterTrackEnd) + 1);

}  // namespace

int SliderValueForTime(std::uint64_t timeMs, std::uint64_t lengthMs) {
    if (lengthMs == 0)
        return 0;
    double value = std::round(double(timeMs) / double(lengthMs) * kSliderMaximum);
    return static_cast<int>(std::clamp(value, 0.0, double(kSliderMaximum)));
}

std::uint64_t TimeForSliderValue(int value, std::uint64_t lengthMs) {
    value = std::clamp(value, 0, kSliderMaximum);
    return static_cast<std::uint64_t>(
        std::llround(double(value) / kSliderMaximum * double(lengthMs)));
}

QString PreviewToolTip(PreviewButton button) {
    return MessageText(kToolTips[static_cast<std::size_t>(button)]);
}

QString PreviewPlayer::SelectionNeededText() {
    return MessageText(Msg::SelectFileFirst);
}

PreviewPlayer::PreviewPlayer(std::unique_ptr<PreviewSink> sink, QObject* parent)
    : QObject(parent), sink_(std::move(sink)) {
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &PreviewPlayer::Tick);
}

PreviewPlayer::~PreviewPlayer() {
    sink_->Stop();
}

audio::OpenError PreviewPlayer::SetSource(const std::string& path, std::uint64_t lengthMs,
                                          bool frameMode) {
    CloseSource();
    hasSource_ = true;
    length_ = lengthMs;
    audio::OpenError error = audio::OpenError::None;
    if (sink_->Available()) {
        audio::OpenOptions options;
        options.prescan = frameMode;
        audio::OpenResult opened = audio::OpenAudioStream(path, options);
        if (opened) {
            audio::PcmFormat own = opened.stream->Format();
            audio::PcmFormat wanted = sink_->FormatFor(own);
            if (wanted.sampleRate != own.sampleRate || wanted.channels != own.channels) {
                options.sampleRate = wanted.sampleRate;
                options.channels = wanted.channels;
                opened = audio::OpenAudioStream(path, options);
            }
        }
        stream_ = std::move(opened.stream);
        error = opened.error;
    }
    UpdateControls();
    return error;
}

void PreviewPlayer::CloseSource() {
    StopActivity();
    stream_.reset();
    feed_.Clear();
    hasSource_ = false;
    length_ = 0;
    playStart_ = 0;
    ShowPosition(0);
    MovePositionSlider(0);
    MoveTrackSliderTo(0);
    emit playheadChanged(0);
    UpdateControls();
}

std::uint64_t PreviewPlayer::Playhead() const {
    if (activity_ == Activity::Stopped || !stream_)
        return position_;
    const int rate = stream_->Format().sampleRate;
    std::uint64_t frame = feed_.SourceFrameAfter(sink_->PlayedFrames());
    return rate > 0 ? frame * 1000 / static_cast<std::uint64_t>(rate) : position_;
}

PreviewControls PreviewPlayer::Controls() const {
    PreviewControls controls;
    const bool ready = Ready();
    const bool playing = activity_ == Activity::PlayingFromPosition;
    controls.play = ready;
    controls.pause = ready && playing;
    controls.pausePressed = controls.pause && paused_;
    controls.previewTrack = ready;
    controls.playBefore = ready && !playing && position_ > 0;
    controls.playAfter = ready && !playing && position_ < length_;
    controls.fastForward = ready;
    controls.fastForwardPressed = speedStep_ > 0;
    controls.trackEdges = ready;
    controls.playLabel = MessageText(playing ? Msg::StopLabel : Msg::PlayLabel);
    controls.previewLabel =
        MessageText(activity_ == Activity::PreviewingTrack ? Msg::StopLabel : Msg::PreviewLabel);
    controls.speedLabel = speedStep_ > 0 ? QString::number(speedStep_) : QString();
    return controls;
}

// --- Commands ----------------------------------------------------------------------------

void PreviewPlayer::SetPosition(std::uint64_t ms) {
    if (!hasSource_ || ms > length_)
        return;
    ShowPosition(ms);
    playStart_ = ms;
    if (activity_ == Activity::PlayingFromPosition)
        Restart(ms);  // playing goes on from there, or stays paused there
    MovePositionSlider(SliderValueForTime(ms, length_));
    if (activity_ == Activity::Stopped)
        emit playheadChanged(ms);
    UpdateControls();
}

void PreviewPlayer::PlayFromPosition() {
    if (!Ready())
        return;
    if (activity_ == Activity::PlayingFromPosition) {
        StopPlayFromPosition();
        return;
    }
    StopActivity();
    if (position_ >= length_)
        return;
    playStart_ = position_;
    Play(Activity::PlayingFromPosition, position_, length_);
    UpdateControls();
}

void PreviewPlayer::PauseResume() {
    if (activity_ != Activity::PlayingFromPosition)
        return;
    paused_ = !paused_;
    sink_->SetPaused(paused_);
    UpdateControls();
    emit focusRequested(paused_ ? PreviewFocus::TimeField : PreviewFocus::PauseButton);
}

PreviewPlayer::TrackResult PreviewPlayer::PreviewTrack(const std::optional<TrackSpan>& selected) {
    if (!Ready())
        return TrackResult::Done;
    if (activity_ == Activity::PreviewingTrack) {
        StopTrackPreview();
        return TrackResult::Done;
    }
    StopActivity();
    if (!selected)
        return TrackResult::NeedsSelection;
    preview_.endMs = std::min(selected->endMs, length_);
    preview_.startMs = std::min(selected->startMs, preview_.endMs);
    const std::uint64_t range = preview_.endMs - preview_.startMs;
    const std::uint64_t offset = TimeForSliderValue(trackSlider_, range);
    if (offset >= range)
        return TrackResult::Done;
    Play(Activity::PreviewingTrack, preview_.startMs + offset, preview_.endMs);
    UpdateControls();
    return TrackResult::Done;
}

void PreviewPlayer::MoveTrackSlider(int value, const std::optional<TrackSpan>& selected) {
    MoveTrackSliderTo(std::clamp(value, 0, kSliderMaximum));
    const bool previewing = activity_ == Activity::PreviewingTrack;
    if (!previewing && !selected)
        return;
    const TrackSpan span = previewing ? preview_ : *selected;
    const std::uint64_t range = span.endMs > span.startMs ? span.endMs - span.startMs : 0;
    const std::uint64_t ms = span.startMs + TimeForSliderValue(trackSlider_, range);
    ShowPosition(ms);
    if (!previewing)
        return;
    if (ms >= preview_.endMs)
        StopTrackPreview();
    else
        Restart(ms);
}

void PreviewPlayer::PlayBeforePosition() {
    const auto p = static_cast<std::int64_t>(position_);
    PlayTwoSeconds(p - std::int64_t(kTwoSecondsMs), p);
}

void PreviewPlayer::PlayAfterPosition() {
    const auto p = static_cast<std::int64_t>(position_);
    PlayTwoSeconds(p, p + std::int64_t(kTwoSecondsMs));
}

PreviewPlayer::TrackResult PreviewPlayer::PlayTrackEdge(TrackEdge edge,
                                                        const std::optional<TrackSpan>& selected) {
    if (!Ready())
        return TrackResult::Done;
    if (!selected)
        return TrackResult::NeedsSelection;
    if (activity_ == Activity::PreviewingTrack) {
        StopTrackPreview();
        return TrackResult::Done;
    }
    const bool atStart = edge == TrackEdge::BeforeStart || edge == TrackEdge::AfterStart;
    const auto at = static_cast<std::int64_t>(atStart ? selected->startMs : selected->endMs);
    const auto two = static_cast<std::int64_t>(kTwoSecondsMs);
    if (edge == TrackEdge::BeforeStart || edge == TrackEdge::BeforeEnd)
        PlayTwoSeconds(at - two, at);
    else
        PlayTwoSeconds(at, at + two);
    return TrackResult::Done;
}

void PreviewPlayer::FastForward() {
    if (!Ready())
        return;
    speedStep_ = (speedStep_ + 1) % 3;
    if (activity_ != Activity::Stopped)
        Restart(Playhead());
    UpdateControls();
}

void PreviewPlayer::Stop() {
    StopActivity();
}

// --- Playing -----------------------------------------------------------------------------

bool PreviewPlayer::Play(Activity activity, std::uint64_t fromMs, std::uint64_t toMs) {
    sink_->Stop();
    if (!Ready() || toMs <= fromMs || !stream_->Seek(fromMs))
        return false;
    const audio::PcmFormat format = stream_->Format();
    feed_.Start(*stream_, stream_->PositionFrames(), format.FramesForMs(toMs), Speed());
    if (!sink_->Start(format, feed_)) {
        feed_.Clear();
        return false;
    }
    activity_ = activity;
    paused_ = false;
    playEnd_ = toMs;
    timer_.start();
    return true;
}

void PreviewPlayer::Restart(std::uint64_t fromMs) {
    sink_->Stop();
    if (fromMs >= playEnd_ || !stream_->Seek(fromMs)) {
        StopActivity();
        return;
    }
    const audio::PcmFormat format = stream_->Format();
    feed_.Start(*stream_, stream_->PositionFrames(), format.FramesForMs(playEnd_), Speed());
    if (!sink_->Start(format, feed_)) {
        StopActivity();
        return;
    }
    if (paused_)
        sink_->SetPaused(true);
}

void PreviewPlayer::StopActivity() {
    switch (activity_) {
        case Activity::PlayingFromPosition:
            StopPlayFromPosition();
            break;
        case Activity::PreviewingTrack:
            StopTrackPreview();
            break;
        case Activity::PlayingTwoSeconds:
            timer_.stop();
            sink_->Stop();
            activity_ = Activity::Stopped;
            emit playheadChanged(position_);
            UpdateControls();
            break;
        case Activity::Stopped:
            break;
    }
}

void PreviewPlayer::StopPlayFromPosition() {
    timer_.stop();
    sink_->Stop();
    activity_ = Activity::Stopped;
    paused_ = false;
    MovePositionSlider(SliderValueForTime(playStart_, length_));
    ShowPosition(playStart_);
    emit playheadChanged(position_);
    UpdateControls();
    emit focusRequested(PreviewFocus::TimeField);
}

void PreviewPlayer::StopTrackPreview() {
    timer_.stop();
    sink_->Stop();
    activity_ = Activity::Stopped;
    MoveTrackSliderTo(0);
    ShowPosition(preview_.startMs);
    emit playheadChanged(position_);
    UpdateControls();
}

void PreviewPlayer::PlayTwoSeconds(std::int64_t fromMs, std::int64_t toMs) {
    if (!Ready())
        return;
    StopActivity();
    const auto from = static_cast<std::uint64_t>(std::max<std::int64_t>(fromMs, 0));
    const auto to = std::min(static_cast<std::uint64_t>(std::max<std::int64_t>(toMs, 0)), length_);
    Play(Activity::PlayingTwoSeconds, from, to);
    UpdateControls();
}

// What the sink has heard decides; the decoder reads ahead of it.
void PreviewPlayer::Tick() {
    const std::uint64_t heard = Playhead();
    const bool over = sink_->Drained() || heard >= playEnd_;
    switch (activity_) {
        case Activity::PlayingFromPosition:
            if (heard <= length_)
                MovePositionSlider(SliderValueForTime(heard, length_));
            ShowPosition(std::min(heard, length_));
            if (over)
                StopPlayFromPosition();
            break;
        case Activity::PreviewingTrack:
            if (heard > preview_.startMs && heard < preview_.endMs) {
                MoveTrackSliderTo(SliderValueForTime(heard - preview_.startMs,
                                                     preview_.endMs - preview_.startMs));
                ShowPosition(heard);
            }
            if (over)
                StopTrackPreview();
            break;
        case Activity::PlayingTwoSeconds:
            if (over)
                StopActivity();
            break;
        case Activity::Stopped:
            timer_.stop();
            return;
    }
    if (activity_ != Activity::Stopped)
        emit playheadChanged(heard);
}

void PreviewPlayer::ShowPosition(std::uint64_t ms) {
    if (ms == position_)
        return;
    position_ = ms;
    emit positionChanged(ms);
}

void PreviewPlayer::MovePositionSlider(int value) {
    if (value == positionSlider_)
        return;
    positionSlider_ = value;
    emit positionSliderChanged(value);
}

void PreviewPlayer::MoveTrackSliderTo(int value) {
    if (value == trackSlider_)
        return;
    trackSlider_ = value;
    emit trackSliderChanged(value);
}

void PreviewPlayer::UpdateControls() {
    PreviewControls now = Controls();
    if (now == controls_)
        return;
    controls_ = now;
    emit controlsChanged();
}

}  // namespace partita::gui
