#include "preview_panel.h"

#include <QAbstractButton>
#include <QAction>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "app/setting_values.h"
#include "preview_buttons.h"
#include "preview_text.h"
#include "time_entry_box.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

// The output of a machine without an audio device.
class NoOutput : public PreviewSink {
  public:
    bool Available() const override { return false; }
    bool Start(const audio::PcmFormat&, PcmSource&) override { return false; }
    void Stop() override {}
    void SetPaused(bool) override {}
    std::uint64_t PlayedFrames() const override { return 0; }
    bool Drained() const override { return true; }
};

// The keyed commands, their buttons and keys.
struct KeyedCommand {
    PreviewButton button;
    QKeyCombination key;
};

constexpr std::array kKeyedCommands{
    KeyedCommand{PreviewButton::Play, QKeyCombination(Qt::Key_F2)},
    KeyedCommand{PreviewButton::Pause, QKeyCombination(Qt::Key_Space)},
    KeyedCommand{PreviewButton::PreviewTrack, QKeyCombination(Qt::ControlModifier, Qt::Key_F2)},
    KeyedCommand{PreviewButton::PlayBefore, QKeyCombination(Qt::Key_F3)},
    KeyedCommand{PreviewButton::PlayAfter, QKeyCombination(Qt::Key_F4)},
    KeyedCommand{PreviewButton::FastForward, QKeyCombination(Qt::Key_F5)},
};

// A tooltip without its leading key, "(F2) Play …" → "Play …", for a menu that shows the key.
QString WithoutKey(const QString& tip) {
    static const QRegularExpression key(QStringLiteral("^\\([^)]*\\)\\s*"));
    return QString(tip).remove(key);
}

QSlider* MakeSlider(const QString& name, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, kSliderMaximum);
    slider->setObjectName(name);
    slider->setFocusPolicy(Qt::StrongFocus);
    slider->setPageStep(kSliderMaximum / 20);  // a click beside the handle
    return slider;
}

}  // namespace

PreviewPanel::PreviewPanel(std::unique_ptr<PreviewSink> sink, SettingsStore& settings,
                           QWidget* parent)
    : QWidget(parent),
      player_(
          std::make_unique<PreviewPlayer>(sink ? std::move(sink) : std::make_unique<NoOutput>())),
      steps_{settings::TimeStepSize.Read(settings), settings::TimePageSize.Read(settings)} {
    waveform_ = new WaveformView(this);
    positionSlider_ = MakeSlider(QStringLiteral("positionSlider"), this);
    trackSlider_ = MakeSlider(QStringLiteral("trackSlider"), this);
    trackSlider_->setSingleStep(kSliderMaximum / 100);
    timeBox_ = new TimeEntryBox(this);
    timeBox_->setObjectName(QStringLiteral("timeBox"));
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)|&|:"));
    timeBox_->setAccessibleName(Text(PreviewText::PositionLabel).remove(mnemonic));
    buttons_ = new PreviewButtons(this);
    noOutputNote_ = new QLabel(Text(UiText::NoAudioOutput), this);
    noOutputNote_->setObjectName(QStringLiteral("noOutputNote"));
    noOutputNote_->setWordWrap(true);
    noOutputNote_->setEnabled(false);
    positionLabel_ = new QLabel(Text(PreviewText::PositionLabel), this);
    trackLabel_ = new QLabel(Text(PreviewText::TrackSliderLabel), this);
    positionLabel_->setBuddy(positionSlider_);
    trackLabel_->setBuddy(trackSlider_);

    auto* grid = new QGridLayout;
    grid->addWidget(positionLabel_, 0, 0);
    grid->addWidget(positionSlider_, 0, 1);
    grid->addWidget(timeBox_, 0, 2);
    grid->addWidget(trackLabel_, 1, 0);
    grid->addWidget(trackSlider_, 1, 1);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(waveform_, 1);
    layout->addLayout(grid);
    layout->addWidget(buttons_);
    layout->addWidget(noOutputNote_);

    for (const KeyedCommand& command : kKeyedCommands) {
        auto* action = new QAction(WithoutKey(PreviewToolTip(command.button)), this);
        action->setShortcut(QKeySequence(command.key));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this,
                [this, button = command.button] { Run(button); });
        addAction(action);
        actions_.append(action);
    }

    Connect();
    UpdateControls();
}

PreviewPanel::~PreviewPanel() = default;

void PreviewPanel::Connect() {
    PreviewPlayer* player = player_.get();
    connect(player, &PreviewPlayer::positionChanged, this, [this](quint64 ms) {
        timeBox_->ShowTime(ms);
        emit positionChanged(ms);
    });
    connect(player, &PreviewPlayer::positionSliderChanged, this, [this](int value) {
        if (positionSlider_->isSliderDown())
            return;  // the user's hand holds it
        const QSignalBlocker quiet(positionSlider_);
        positionSlider_->setValue(value);
    });
    connect(player, &PreviewPlayer::trackSliderChanged, this, [this](int value) {
        if (trackSlider_->isSliderDown())
            return;
        const QSignalBlocker quiet(trackSlider_);
        trackSlider_->setValue(value);
    });
    connect(player, &PreviewPlayer::playheadChanged, waveform_, &WaveformView::SetPlayhead);
    connect(player, &PreviewPlayer::controlsChanged, this, &PreviewPanel::UpdateControls);
    connect(player, &PreviewPlayer::focusRequested, this, [this](PreviewFocus target) {
        if (target == PreviewFocus::TimeField)
            timeBox_->setFocus();
        else
            buttons_->Button(PreviewButton::Pause)->setFocus();
    });

    // Moving the slider shows its time and, while playing, plays on from there.
    connect(positionSlider_, &QSlider::valueChanged, this, [this](int value) {
        player_->SetPosition(TimeForSliderValue(value, player_->SourceLength()));
    });
    connect(trackSlider_, &QSlider::valueChanged, this,
            [this](int value) { player_->MoveTrackSlider(value, selectedSpan_); });
    positionSlider_->installEventFilter(this);

    connect(timeBox_, &TimeEntryBox::stepKeyPressed, this, &PreviewPanel::Step);
    connect(timeBox_, &TimeEntryBox::timeTyped, this, [this](quint64 ms) {
        const bool playing =
            player_->CurrentActivity() == PreviewPlayer::Activity::PlayingFromPosition;
        if (!playing || player_->Paused())
            player_->SetPosition(ms);
    });
    connect(timeBox_, &TimeEntryBox::enterPressed, this, &PreviewPanel::insertPointRequested);

    connect(buttons_, &PreviewButtons::pressed, this, &PreviewPanel::Run);

    connect(&loader_, &EnvelopeLoader::chunkArrived, waveform_, &WaveformView::AddEnvelopeChunk);
    connect(waveform_, &WaveformView::positionClicked, this,
            [this](quint64 ms) { SetPosition(ms); });
    connect(waveform_, &WaveformView::markerMoveRequested, this, &PreviewPanel::MoveMarker);
}

// --- The page's side ---------------------------------------------------------------------

void PreviewPanel::ShowSource(const std::string& path, std::uint64_t lengthMs, bool frameMode) {
    if (player_->HasSource() && path == sourcePath_ && lengthMs == player_->SourceLength() &&
        frameMode == frameMode_)
        return;
    sourcePath_ = path;
    frameMode_ = frameMode;
    player_->SetSource(path, lengthMs, frameMode);
    waveform_->SetDuration(lengthMs);
    loader_.Show(path);
    UpdateControls();
}

void PreviewPanel::ShowNoSource() {
    sourcePath_.clear();
    player_->CloseSource();
    loader_.ShowNothing();
    waveform_->SetDuration(0);
    SetTracks({});
    SetSelectedTrack(std::nullopt, std::nullopt);
    SetSilences({});
    UpdateControls();
}

void PreviewPanel::ForgetSource(const std::string& path) {
    loader_.Drop(path);
}

void PreviewPanel::SetTracks(std::vector<TimeRange> tracks) {
    tracks_ = std::move(tracks);
    // One marker a boundary; a boundary two tracks share is the later one's start, which moves
    // the earlier one's end with it.
    markers_.clear();
    for (std::size_t i = 0; i < tracks_.size(); ++i) {
        markers_.push_back({tracks_[i].startMs, int(i), true});
        markers_.push_back({tracks_[i].endMs, int(i), false});
    }
    std::stable_sort(markers_.begin(), markers_.end(), [](const Marker& a, const Marker& b) {
        return a.ms != b.ms ? a.ms < b.ms : a.start && !b.start;
    });
    markers_.erase(std::unique(markers_.begin(), markers_.end(),
                               [](const Marker& a, const Marker& b) { return a.ms == b.ms; }),
                   markers_.end());
    std::vector<std::uint64_t> times;
    times.reserve(markers_.size());
    for (const Marker& marker : markers_)
        times.push_back(marker.ms);
    waveform_->SetMarkers(std::move(times));
    ShowSelectedRange();
}

void PreviewPanel::SetSelectedTrack(std::optional<int> trackIndex, std::optional<TrackSpan> span) {
    selectedIndex_ = trackIndex;
    selectedSpan_ = span;
    ShowSelectedRange();
}

void PreviewPanel::SetSilences(std::vector<TimeRange> ranges) {
    waveform_->SetSilences(std::move(ranges));
}

std::uint64_t PreviewPanel::Position() const {
    return player_->Position();
}

void PreviewPanel::SetPosition(std::uint64_t ms) {
    player_->SetPosition(ms);
}

void PreviewPanel::SetStepSizes(int stepMs, int pageMs) {
    steps_ = {stepMs, pageMs};
}

void PreviewPanel::StopPlayback() {
    player_->Stop();
}

void PreviewPanel::SetPreviewAvailable(bool available) {
    available_ = available;
    if (!available)
        player_->Stop();
    UpdateControls();
}

void PreviewPanel::SetBusy(bool busy) {
    busy_ = busy;
    if (busy)
        player_->Stop();
    UpdateControls();
}

QWidget* PreviewPanel::TimeBox() const {
    return timeBox_;
}

QList<QAction*> PreviewPanel::Actions() const {
    return actions_;
}

// --- Commands ----------------------------------------------------------------------------

bool PreviewPanel::Usable() const {
    return available_ && !busy_ && player_->Available();
}

void PreviewPanel::Run(PreviewButton button) {
    if (!Usable())
        return;
    PreviewPlayer::TrackResult result = PreviewPlayer::TrackResult::Done;
    switch (button) {
        case PreviewButton::Play:
            player_->PlayFromPosition();
            break;
        case PreviewButton::Pause:
            player_->PauseResume();
            break;
        case PreviewButton::PreviewTrack:
            result = player_->PreviewTrack(selectedSpan_);
            break;
        case PreviewButton::PlayBefore:
            player_->PlayBeforePosition();
            break;
        case PreviewButton::PlayAfter:
            player_->PlayAfterPosition();
            break;
        case PreviewButton::FastForward:
            player_->FastForward();
            break;
        case PreviewButton::BeforeTrackStart:
            result = player_->PlayTrackEdge(TrackEdge::BeforeStart, selectedSpan_);
            break;
        case PreviewButton::AfterTrackStart:
            result = player_->PlayTrackEdge(TrackEdge::AfterStart, selectedSpan_);
            break;
        case PreviewButton::BeforeTrackEnd:
            result = player_->PlayTrackEdge(TrackEdge::BeforeEnd, selectedSpan_);
            break;
        case PreviewButton::AfterTrackEnd:
            result = player_->PlayTrackEdge(TrackEdge::AfterEnd, selectedSpan_);
            break;
    }
    if (result == PreviewPlayer::TrackResult::NeedsSelection)
        emit selectionNeeded();
}

void PreviewPanel::Step(int key) {
    if (!player_->HasSource())
        return;
    if (std::optional<std::uint64_t> ms =
            SteppedPosition(key, player_->Position(), player_->SourceLength(), steps_))
        player_->SetPosition(*ms);
}

void PreviewPanel::MoveMarker(int index, quint64 ms) {
    if (index < 0 || std::size_t(index) >= markers_.size())
        return;
    const Marker& marker = markers_[std::size_t(index)];
    emit trackEdgeMoveRequested(marker.track, marker.start, ms);
}

// The position slider takes every position key; the track slider moves by its own steps.
bool PreviewPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == positionSlider_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            SteppedPosition(key->key(), 0, 0, steps_)) {
            Step(key->key());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewPanel::ShowSelectedRange() {
    std::optional<TimeRange> range;
    if (selectedIndex_ && *selectedIndex_ >= 0 && std::size_t(*selectedIndex_) < tracks_.size())
        range = tracks_[std::size_t(*selectedIndex_)];
    else if (selectedSpan_)
        range = TimeRange{selectedSpan_->startMs, selectedSpan_->endMs};
    waveform_->SetSelectedRange(range);
}

void PreviewPanel::UpdateControls() {
    const bool usable = Usable();
    const PreviewControls controls = player_->Controls();
    buttons_->Show(controls, usable);
    const bool enabled[] = {controls.play,       controls.pause,     controls.previewTrack,
                            controls.playBefore, controls.playAfter, controls.fastForward};
    static_assert(std::size(enabled) == kKeyedCommands.size());
    for (std::size_t i = 0; i < kKeyedCommands.size(); ++i)
        actions_[qsizetype(i)]->setEnabled(usable && enabled[i]);
    noOutputNote_->setVisible(!available_ || !player_->Available());
    const bool hasSource = player_->HasSource();
    positionSlider_->setEnabled(hasSource);
    timeBox_->setEnabled(hasSource);
    trackSlider_->setEnabled(hasSource);
}

}  // namespace partita::gui
