#include "split/split_mode_switch.h"

#include <gtest/gtest.h>

#include "app/string_table.h"
#include "support/scripted_host.h"

namespace partita {
namespace {

// A VBR file that is a little shorter when its frames are counted (frame mode) than its header
// says (fast mode).
class ModeProbe : public SourceProbe {
  public:
    std::uint64_t frameDuration = 90'000;
    std::uint64_t fastDuration = 100'000;
    std::vector<SplitMode> probed;
    std::optional<SourceFacts> Probe(const std::string&, SplitMode mode, const LoadProgress&,
                                     ProbeFailure*) override {
        probed.push_back(mode);
        SourceFacts facts;
        facts.audioType = audio::AudioType::Mpeg;
        facts.format = VbrFormat();
        facts.durationMs = mode == SplitMode::Fast ? fastDuration : frameDuration;
        return facts;
    }
    static SourceFormat VbrFormat() {
        SourceFormat format;
        format.type = audio::AudioType::Mpeg;
        format.vbrHeader = VbrHeaderType::Xing;
        return format;
    }
};

class SplitModeSwitchTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }

    // A fast-mode source of 100 s with tracks at 0, 30, 60 and 95 s, the second unchecked and
    // titled, the third with an overlap.
    RowId AddSource() {
        SourceRowValues values;
        values.mode = SplitMode::Fast;
        values.format = ModeProbe::VbrFormat();
        RowId source = list.AddSource("/m/show.mp3", 100'000, values);
        for (std::uint64_t t : {0, 30'000, 60'000, 95'000})
            list.InsertSplitPoint(source, t);
        list.SetChecked(list.Children(source)[1], false);
        list.EditCell(list.Children(source)[1], kColTitle, "Talk");
        list.SetOverlaps(list.Children(source)[2], {500, 0});
        return source;
    }
    std::vector<TrackTimes> Times(RowId source) {
        std::vector<TrackTimes> times;
        for (RowId t : list.Children(source))
            times.push_back(list.Row(t).times);
        return times;
    }

    SplitList list;
    ModeProbe probe;
    test::ScriptedHost host;
};

// A switch that maps times otherwise reloads the source and keeps its tracks with their cells,
// clamped to the new duration; only where a track would be lost is a sheet offered first.
TEST_F(SplitModeSwitchTest, ReloadKeepsTheTracks) {
    RowId source = AddSource();
    std::vector<RowId> saved;
    ASSERT_TRUE(SwitchSplitMode(list, source, SplitMode::Frame, probe, host, true,
                                [&](RowId s) { saved.push_back(s); }));
    EXPECT_EQ(probe.probed, (std::vector<SplitMode>{SplitMode::Frame}));
    EXPECT_EQ(list.Row(source).mode, SplitMode::Frame);
    EXPECT_EQ(list.SourceDuration(source), 90'000u);
    EXPECT_EQ(Times(source),
              (std::vector<TrackTimes>{{0, 30'000}, {30'000, 60'000}, {60'000, 90'000}}));
    const auto& tracks = list.Children(source);
    EXPECT_FALSE(list.Row(tracks[1]).checked);
    EXPECT_EQ(list.Row(tracks[1]).tags.title, "Talk");
    EXPECT_EQ(list.Row(tracks[2]).overlaps, (Overlaps{500, 0}));
    EXPECT_EQ(host.questions.size(), 1u);  // the track at 95 s went
    EXPECT_EQ(saved, (std::vector<RowId>{source}));

    // Longer again: the last track reaches the new end, nothing is lost, nothing asked.
    ASSERT_TRUE(SwitchSplitMode(list, source, SplitMode::Fast, probe, host, true));
    EXPECT_EQ(Times(source).back(), (TrackTimes{60'000, 100'000}));
    EXPECT_EQ(host.questions.size(), 1u);

    // Auto on a VBR source is frame mode: only the mode changes.
    ASSERT_TRUE(SwitchSplitMode(list, source, SplitMode::Frame, probe, host, false));
    ASSERT_TRUE(SwitchSplitMode(list, source, SplitMode::Auto, probe, host, false));
    EXPECT_EQ(probe.probed.size(), 3u);
    EXPECT_EQ(list.Row(source).mode, SplitMode::Auto);
}

// A reload the user cancels leaves the source as it was.
TEST_F(SplitModeSwitchTest, CancelledReloadChangesNothing) {
    struct CancellingProbe : SourceProbe {
        std::optional<SourceFacts> Probe(const std::string&, SplitMode,
                                         const LoadProgress& progress,
                                         ProbeFailure* failure) override {
            if (!progress(0))
                failure->cancelled = true;
            return std::nullopt;
        }
    } cancelling;
    RowId source = AddSource();
    host.stopAtCall = {1};
    EXPECT_FALSE(
        SwitchSplitMode(list, list.Parent(source), SplitMode::Frame, cancelling, host, true));
    EXPECT_EQ(list.Row(source).mode, SplitMode::Fast);
    EXPECT_EQ(list.TrackCount(source), 4);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace partita
