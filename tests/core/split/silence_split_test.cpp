#include <gtest/gtest.h>

#include "app/string_table.h"
#include "planned_peaks.h"
#include "split/silence_split.h"
#include "split/split_list.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

using test::PlannedPeaks;

struct Track {
    std::uint64_t start;
    std::uint64_t end;
    bool checked;
};

class SilenceSplitTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }

    RowId AddSource(const std::string& path, std::uint64_t duration) {
        SourceRowValues values;
        values.tags.title = "T";
        RowId source = list.AddSource(path, duration, values);
        list.InsertSplitPoint(source, 0);
        return source;
    }
    std::vector<Track> Tracks(RowId source) {
        std::vector<Track> tracks;
        for (RowId t : list.Children(source)) {
            TrackTimes times = list.GetTrackTimes(t, false);
            tracks.push_back({times.start, times.end, list.Row(t).checked});
        }
        return tracks;
    }

    SplitList list;
    test::ScriptedHost host;
};

// The source's tracks are replaced by those of the silences; left-out silences are unchecked.
TEST_F(SilenceSplitTest, ReplacesTheTracks) {
    RowId source = AddSource("/m/a.mp3", 12000);
    list.InsertSplitPoint(source, 1000);
    PlannedPeaks peaks({{16000, 4000}, {0, 3000}, {16000, 5000}});
    SilenceOptions options;
    options.excludeSilence = true;
    ASSERT_EQ(DetectSilence(list, source, peaks, options, host), SilenceRun::Done);
    auto tracks = Tracks(source);
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].start, 0u);
    EXPECT_EQ(tracks[1].start, 4000u);
    EXPECT_FALSE(tracks[1].checked);
    EXPECT_EQ(tracks[2].start, 6700u);
    EXPECT_EQ(tracks[2].end, 12000u);
    EXPECT_TRUE(tracks[2].checked);

    // Nothing found: the source keeps the single whole track.
    PlannedPeaks loud({{16000, 12000}});
    ASSERT_EQ(DetectSilence(list, source, loud, options, host), SilenceRun::Done);
    EXPECT_EQ(Tracks(source).size(), 1u);
}

// A scan the user stops changes nothing: the tracks stay as they were.
TEST_F(SilenceSplitTest, StoppedScanChangesNothing) {
    RowId source = AddSource("/m/a.mp3", 12000);
    list.InsertSplitPoint(source, 1000);
    PlannedPeaks peaks({{16000, 4000}, {0, 3000}, {16000, 5000}});
    host.stopAtCall = {300};  // in the second tone, after the silence was found
    EXPECT_EQ(DetectSilence(list, source, peaks, SilenceOptions{}, host), SilenceRun::Cancelled);
    ASSERT_EQ(Tracks(source).size(), 2u);
    EXPECT_EQ(Tracks(source)[1].start, 1000u);
}

// A file that cannot be decoded is reported and keeps its tracks.
TEST_F(SilenceSplitTest, UnreadableSourceKeepsItsTracks) {
    test::WriteFileText(dir / "broken.mp3", "not audio at all");
    RowId source = AddSource((dir / "broken.mp3").string(), 10000);
    list.InsertSplitPoint(source, 5000);
    EXPECT_EQ(DetectSilence(list, source, SilenceOptions{}, host), SilenceRun::NotOpened);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, MessageKind::Error);
    EXPECT_NE(host.messages[0].text.find("broken.mp3"), std::string::npos);
    EXPECT_EQ(Tracks(source).size(), 2u);
}

}  // namespace
}  // namespace partita
