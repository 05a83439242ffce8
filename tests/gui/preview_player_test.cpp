#include "preview_player.h"

#include <QSignalSpy>
#include <QTest>

#include "gui_test_support.h"
#include "manual_sink.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

using Activity = PreviewPlayer::Activity;

constexpr int kRate = 8000;
constexpr std::uint64_t kLengthMs = 10000;

class PreviewPlayerTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        samples = WriteCountingWav(dir / "count.wav", kLengthMs, kRate);
        auto owned = std::make_unique<ManualSink>();
        sink = owned.get();
        player = std::make_unique<PreviewPlayer>(std::move(owned));
        ASSERT_EQ(player->SetSource((dir / "count.wav").string(), kLengthMs, false),
                  audio::OpenError::None);
    }

    // The source's samples of [fromMs, toMs).
    std::vector<std::int16_t> Source(std::uint64_t fromMs, std::uint64_t toMs) const {
        return {samples.begin() + fromMs * kRate / 1000, samples.begin() + toMs * kRate / 1000};
    }
    // Lets the player's timer poll the sink once: what was heard shows after one tick.
    void Poll() {
        QSignalSpy tick(player.get(), &PreviewPlayer::playheadChanged);
        ASSERT_TRUE(tick.wait(1000));
    }

    std::vector<std::int16_t> samples;
    ManualSink* sink = nullptr;
    std::unique_ptr<PreviewPlayer> player;
};

// F3 at 1.5 s plays 0 … 1.5 s and stops; F4 one second before the end plays that second; both
// leave the position and its slider where they were. F2 at the very end does nothing.
TEST_F(PreviewPlayerTest, TwoSecondPlaysHearTheirSpanAndStop) {
    player->SetPosition(1500);
    const int slider = player->PositionSlider();
    player->PlayBeforePosition();
    EXPECT_EQ(player->CurrentActivity(), Activity::PlayingTwoSeconds);
    sink->Consume(3000);
    Poll();
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_EQ(sink->Heard(), Source(0, 1500));
    EXPECT_EQ(player->Position(), 1500u);
    EXPECT_EQ(player->PositionSlider(), slider);

    sink->ForgetHeard();
    player->SetPosition(kLengthMs - 1000);
    player->PlayAfterPosition();
    sink->Consume(3000);
    Poll();
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_EQ(sink->Heard(), Source(kLengthMs - 1000, kLengthMs));

    player->SetPosition(kLengthMs);
    EXPECT_FALSE(player->Controls().playAfter);
    const int starts = sink->starts;
    player->PlayFromPosition();
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_EQ(sink->starts, starts);
}

// The track edges: before the start is cut at 0, no selection asks for one, and during a track
// preview an edge play only stops the preview.
TEST_F(PreviewPlayerTest, TrackEdgePlays) {
    const TrackSpan track{500, 4000};
    EXPECT_EQ(player->PlayTrackEdge(TrackEdge::BeforeStart, std::nullopt),
              PreviewPlayer::TrackResult::NeedsSelection);
    player->PlayTrackEdge(TrackEdge::BeforeStart, track);
    sink->Consume(3000);
    Poll();
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_EQ(sink->Heard(), Source(0, 500));

    sink->ForgetHeard();
    player->PlayTrackEdge(TrackEdge::AfterEnd, track);
    sink->Consume(3000);
    Poll();
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_EQ(sink->Heard(), Source(4000, 6000));

    player->PreviewTrack(track);
    player->PlayTrackEdge(TrackEdge::BeforeEnd, track);
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
}

// A track [2 s, 4 s) with a forward overlap of 2 s previews to 6 s: the time field and the track
// slider follow what is heard, and at the end the labels, the slider and the time come back.
TEST_F(PreviewPlayerTest, TrackPreviewPlaysThroughTheForwardOverlap) {
    const TrackSpan withOverlap{2000, 4000 + 2000};
    EXPECT_EQ(player->PreviewTrack(std::nullopt), PreviewPlayer::TrackResult::NeedsSelection);
    player->PreviewTrack(withOverlap);
    EXPECT_EQ(player->Controls().previewLabel, MessageText(Msg::StopLabel));
    sink->Consume(1000);
    Poll();
    EXPECT_EQ(player->Position(), 3000u);
    EXPECT_EQ(player->TrackSlider(), SliderValueForTime(1000, 4000));
    sink->Consume(5000);
    Poll();
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_EQ(sink->Heard(), Source(2000, 6000));
    EXPECT_EQ(player->Controls().previewLabel, MessageText(Msg::PreviewLabel));
    EXPECT_EQ(player->TrackSlider(), 0);
    EXPECT_EQ(player->Position(), 2000u);

    // From the track slider's place; moving it while previewing plays on from there.
    sink->ForgetHeard();
    player->MoveTrackSlider(kSliderMaximum / 2, withOverlap);
    EXPECT_EQ(player->Position(), 4000u);
    player->PreviewTrack(withOverlap);
    sink->Consume(500);
    player->MoveTrackSlider(kSliderMaximum * 3 / 4, withOverlap);
    sink->Consume(200);
    Poll();
    EXPECT_EQ(player->Position(), 5200u);
    auto expected = Source(4000, 4500);
    auto after = Source(5000, 5200);
    expected.insert(expected.end(), after.begin(), after.end());
    EXPECT_EQ(sink->Heard(), expected);
}

// F5 steps 1.5×, 2× and back to 1×; the position keeps what was heard across each change, and
// 2× covers two seconds of the source in one second of output.
TEST_F(PreviewPlayerTest, FastForwardCyclesTheSpeed) {
    player->FastForward();
    EXPECT_TRUE(player->Controls().fastForwardPressed);
    EXPECT_EQ(player->Controls().speedLabel, QStringLiteral("1"));
    player->PlayFromPosition();
    sink->Consume(1000);
    Poll();
    EXPECT_EQ(player->Position(), 1500u);

    player->FastForward();
    EXPECT_EQ(player->Controls().speedLabel, QStringLiteral("2"));
    const std::size_t before = sink->Heard().size();
    sink->Consume(1000);
    Poll();
    EXPECT_EQ(player->Position(), 3500u);
    EXPECT_EQ(sink->Heard().size() - before, std::size_t(kRate));
    // Every second sample of the source, from where 1.5× left off.
    EXPECT_EQ(sink->Heard()[before], samples[1500 * kRate / 1000]);
    EXPECT_EQ(sink->Heard()[before + 10], samples[1500 * kRate / 1000 + 20]);

    player->FastForward();
    EXPECT_FALSE(player->Controls().fastForwardPressed);
    EXPECT_TRUE(player->Controls().speedLabel.isEmpty());
    sink->Consume(1000);
    Poll();
    EXPECT_EQ(player->Position(), 4500u);
}

// Space pauses and resumes a play from the position without losing or repeating audio; the shown
// position is what was heard, never what the sink has read ahead.
TEST_F(PreviewPlayerTest, PauseKeepsThePosition) {
    player->SetPosition(1000);
    EXPECT_FALSE(player->Controls().pause);
    player->PlayFromPosition();
    EXPECT_EQ(player->Controls().playLabel, MessageText(Msg::StopLabel));
    EXPECT_FALSE(player->Controls().playBefore);
    EXPECT_FALSE(player->Controls().playAfter);
    sink->Consume(500);
    Poll();
    EXPECT_EQ(player->Position(), 1500u);
    EXPECT_EQ(player->PositionSlider(), SliderValueForTime(1500, kLengthMs));

    QSignalSpy focus(player.get(), &PreviewPlayer::focusRequested);
    player->PauseResume();
    EXPECT_TRUE(player->Controls().pausePressed);
    EXPECT_EQ(focus.takeFirst().at(0).value<PreviewFocus>(), PreviewFocus::TimeField);
    sink->Consume(1000);
    QTest::qWait(3 * PreviewPlayer::kTickMs);
    EXPECT_EQ(player->Position(), 1500u);

    player->PauseResume();
    EXPECT_FALSE(player->Controls().pausePressed);
    sink->Consume(500);
    Poll();
    EXPECT_EQ(player->Position(), 2000u);
    EXPECT_EQ(sink->Heard(), Source(1000, 2000));

    // Stopping goes back to where playing started.
    player->PlayFromPosition();
    EXPECT_EQ(player->Position(), 1000u);
    EXPECT_FALSE(player->Controls().pause);
    EXPECT_EQ(player->Controls().playLabel, MessageText(Msg::PlayLabel));
}

// F2 during a two-second play replaces it: the new play is not ended by the old one's end. A
// new source stops the play and starts at 0.
TEST_F(PreviewPlayerTest, AnyPlayReplacesATwoSecondPlay) {
    player->SetPosition(5000);
    player->PlayBeforePosition();
    sink->Consume(500);
    player->PlayFromPosition();
    EXPECT_EQ(player->CurrentActivity(), Activity::PlayingFromPosition);
    sink->ForgetHeard();
    sink->Consume(2500);
    Poll();
    EXPECT_EQ(player->Position(), 7500u);
    EXPECT_EQ(player->CurrentActivity(), Activity::PlayingFromPosition);
    EXPECT_EQ(sink->Heard(), Source(5000, 7500));

    // A seek while playing plays on from there.
    sink->ForgetHeard();
    player->SetPosition(1000);
    sink->Consume(100);
    Poll();
    EXPECT_EQ(player->Position(), 1100u);
    EXPECT_EQ(sink->Heard(), Source(1000, 1100));

    player->PlayAfterPosition();
    ASSERT_EQ(player->SetSource((dir / "count.wav").string(), kLengthMs, false),
              audio::OpenError::None);
    EXPECT_EQ(player->CurrentActivity(), Activity::Stopped);
    EXPECT_FALSE(sink->Playing());
    EXPECT_EQ(player->Position(), 0u);
}

// Without an output device nothing plays and every preview button is off, while the position
// still follows the page.
TEST_F(PreviewPlayerTest, WithoutAnOutputPreviewIsOff) {
    auto owned = std::make_unique<ManualSink>();
    owned->available = false;
    ManualSink* silent = owned.get();
    PreviewPlayer off(std::move(owned));
    EXPECT_EQ(off.SetSource((dir / "count.wav").string(), kLengthMs, false),
              audio::OpenError::None);
    off.SetPosition(3000);
    EXPECT_EQ(off.Position(), 3000u);
    off.PlayFromPosition();
    off.PlayAfterPosition();
    off.FastForward();
    EXPECT_EQ(silent->starts, 0);
    PreviewControls controls = off.Controls();
    EXPECT_FALSE(controls.play || controls.pause || controls.previewTrack || controls.playBefore ||
                 controls.playAfter || controls.fastForward || controls.trackEdges);
}

// The slider runs over 0 … 32767 of the length, rounded to the nearest value.
TEST(PreviewSliderTest, MapsTimeAndValue) {
    EXPECT_EQ(SliderValueForTime(0, 60000), 0);
    EXPECT_EQ(SliderValueForTime(60000, 60000), kSliderMaximum);
    EXPECT_EQ(SliderValueForTime(70000, 60000), kSliderMaximum);
    EXPECT_EQ(SliderValueForTime(1, 2), 16384);  // 16383.5 rounds up
    EXPECT_EQ(SliderValueForTime(5, 0), 0);
    EXPECT_EQ(TimeForSliderValue(kSliderMaximum, 60000), 60000u);
    // There and back lands within half a step of an hour.
    for (std::uint64_t t : {1u, 1234u, 1800000u, 3599999u})
        EXPECT_NEAR(double(TimeForSliderValue(SliderValueForTime(t, 3600000), 3600000)), double(t),
                    3600000.0 / kSliderMaximum / 2 + 1);
}

}  // namespace
}  // namespace partita::gui::test
