#include "split/split_list.h"

#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "app/time_text.h"
#include "split/source_loader.h"
#include "split/split_list_commands.h"
#include "split/split_options.h"
#include "support/scripted_host.h"

namespace partita {
namespace {

constexpr std::uint64_t kDuration = 300'000;  // 5:00.000

class SplitListTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::Chinese); }

    RowId AddSource(const std::string& path = "/music/live.mp3",
                    std::uint64_t duration = kDuration) {
        SourceRowValues values;
        values.tags.title = "Live";
        values.tags.artist = "Band";
        return list.AddSource(path, duration, values);
    }

    std::vector<TrackTimes> Times(RowId source) {
        std::vector<TrackTimes> result;
        for (RowId track : list.Children(source))
            result.push_back(list.GetTrackTimes(track, false));
        return result;
    }

    SplitList list;
};

using T = TrackTimes;

// The first source of an empty list lands in the default group, its cells from the path.
TEST_F(SplitListTest, SourceGoesIntoDefaultGroup) {
    RowId source = AddSource();
    ASSERT_EQ(list.Groups().size(), 1u);
    RowId group = list.Groups()[0];
    EXPECT_EQ(list.CellText(group, kColTrack), "默认分割组");
    EXPECT_EQ(list.Parent(source), group);
    EXPECT_EQ(list.CellText(source, kColTrack), "live.mp3");
    EXPECT_EQ(list.CellText(source, kColPath), "/music/");
    EXPECT_EQ(list.CellText(source, kColLength), "5:00.000");
    EXPECT_EQ(list.SourcePath(source), "/music/live.mp3");
    EXPECT_EQ(list.Kind(source), SplitNodeKind::Source);
    EXPECT_TRUE(list.Row(source).checked);
}

// Unnamed groups are numbered by a counter that is never reset; the first group raises the tips.
TEST_F(SplitListTest, GroupNamesAndCounter) {
    EXPECT_EQ(list.ProposedGroupName(), "分割组 01");
    RowId a = list.AddGroup("");
    EXPECT_TRUE(list.TakeFirstGroupCreated());
    EXPECT_FALSE(list.TakeFirstGroupCreated());
    RowId b = list.AddGroup("Named");
    RowId c = list.AddGroup("");
    EXPECT_EQ(list.CellText(a, 0), "分割组 01");
    EXPECT_EQ(list.CellText(b, 0), "Named");
    EXPECT_EQ(list.CellText(c, 0), "分割组 03");
    list.Clear();
    EXPECT_EQ(list.CellText(list.AddGroup(""), 0), "分割组 04");
    EXPECT_FALSE(list.TakeFirstGroupCreated());
}

// A source goes to the group of the current row.
TEST_F(SplitListTest, SourceGoesIntoCurrentGroup) {
    RowId a = list.AddGroup("A");
    RowId b = list.AddGroup("B");
    list.SetCurrent(a);
    RowId s1 = AddSource("/m/one.mp3");
    list.SetCurrent(b);
    RowId s2 = AddSource("/m/two.mp3");
    list.SetCurrent(kNoRow);
    RowId s3 = AddSource("/m/three.mp3");
    EXPECT_EQ(list.Parent(s1), a);
    EXPECT_EQ(list.Parent(s2), b);
    EXPECT_EQ(list.Parent(s3), a);
}

// The first point on a fresh source yields [0, t) and [t, D); later points split the track
// that holds them; 0, an existing start and points at or past the end add nothing.
TEST_F(SplitListTest, InsertSplitPoints) {
    RowId source = AddSource();
    EXPECT_EQ(list.InsertSplitPoint(source, 60'000), 1);
    EXPECT_EQ(Times(source), (std::vector<T>{{0, 60'000}, {60'000, kDuration}}));
    EXPECT_EQ(list.InsertSplitPoint(source, 30'000), 1);
    EXPECT_EQ(list.InsertSplitPoint(source, 200'000), 3);
    EXPECT_EQ(
        Times(source),
        (std::vector<T>{{0, 30'000}, {30'000, 60'000}, {60'000, 200'000}, {200'000, kDuration}}));
    EXPECT_EQ(list.InsertSplitPoint(source, 0), 0);
    EXPECT_EQ(list.InsertSplitPoint(source, 60'000), 2);
    EXPECT_EQ(list.InsertSplitPoint(source, kDuration), -1);
    EXPECT_EQ(list.InsertSplitPoint(source, kDuration + 1), -1);
    EXPECT_EQ(list.TrackCount(source), 4);
    EXPECT_EQ(list.Current(), list.Children(source)[2]);
    // The length column follows the times.
    EXPECT_EQ(list.CellText(list.Children(source)[0], kColLength), "0:30.000");
}

// A new track copies the source's cells but the mode, and starts selected.
TEST_F(SplitListTest, NewTrackInheritsSourceCells) {
    RowId source = AddSource();
    list.SetMode(source, SplitMode::Fast);
    list.EditCell(source, kColGenre, "Rock");
    list.InsertSplitPoint(source, 1000);
    RowId track = list.Children(source)[1];
    EXPECT_EQ(list.Kind(track), SplitNodeKind::Track);
    EXPECT_EQ(list.CellText(track, kColTitle), "Live");
    EXPECT_EQ(list.CellText(track, kColGenre), "Rock");
    EXPECT_EQ(list.CellText(track, kColPath), "/music/");
    EXPECT_EQ(list.CellText(track, kColMode), "");
    EXPECT_EQ(list.CellText(track, kColTrack), "0:01.000-5:00.000");
    EXPECT_TRUE(list.Row(track).checked);
}

// A group row takes a split point for every source it holds.
TEST_F(SplitListTest, SplitPointOnGroupSplitsEverySource) {
    RowId a = AddSource("/m/a.mp3", 100'000);
    RowId b = AddSource("/m/b.mp3", 40'000);
    list.InsertSplitPoint(list.Groups()[0], 50'000);
    EXPECT_EQ(list.TrackCount(a), 2);
    EXPECT_EQ(list.TrackCount(b), 0);  // past its end: nothing, not even the first track
}

// Tracks that leave gaps (as a sheet loads them) still take split points where they cover.
TEST_F(SplitListTest, SplitPointsBetweenGappedTracks) {
    RowId source = AddSource();
    list.AppendTrack(source, {10'000, 20'000});
    list.AppendTrack(source, {30'000, 40'000});
    EXPECT_EQ(list.InsertSplitPoint(source, 35'000), 3);
    EXPECT_EQ(Times(source),
              (std::vector<T>{{0, 10'000}, {10'000, 20'000}, {30'000, 35'000}, {35'000, 40'000}}));
    EXPECT_EQ(list.InsertSplitPoint(source, 25'000), -1);  // in the gap
}

// Moving a start back over two earlier tracks removes both; the one before them now ends there.
TEST_F(SplitListTest, UpdateTrackStartSwallowsEarlierTracks) {
    RowId source = AddSource();
    for (std::uint64_t t : {10'000, 20'000, 30'000, 40'000})
        list.InsertSplitPoint(source, t);
    RowId moved = list.Children(source)[3];  // [30 s, 40 s)
    EXPECT_EQ(list.UpdateTrackStart(moved, 15'000), TrackUpdate::Done);
    EXPECT_EQ(
        Times(source),
        (std::vector<T>{{0, 10'000}, {10'000, 15'000}, {15'000, 40'000}, {40'000, kDuration}}));
    EXPECT_EQ(list.Current(), moved);
    // Forward within the track: only the neighbour changes.
    EXPECT_EQ(list.UpdateTrackStart(moved, 16'000), TrackUpdate::Done);
    EXPECT_EQ(Times(source)[1], (T{10'000, 16'000}));
    // Not before its end: refused, nothing changes.
    EXPECT_EQ(list.UpdateTrackStart(moved, 40'000), TrackUpdate::StartNotBeforeEnd);
    EXPECT_EQ(Times(source)[2], (T{16'000, 40'000}));
}

// Moving the first track's start inserts a split point instead.
TEST_F(SplitListTest, UpdateFirstStartInsertsPoint) {
    RowId source = AddSource();
    list.InsertSplitPoint(source, 100'000);
    EXPECT_EQ(list.UpdateTrackStart(list.Children(source)[0], 50'000), TrackUpdate::Done);
    EXPECT_EQ(Times(source),
              (std::vector<T>{{0, 50'000}, {50'000, 100'000}, {100'000, kDuration}}));
}

// Moving an end forward over later tracks removes them; the next one starts there. The last
// track's end inserts a point; an end not after the start is refused.
TEST_F(SplitListTest, UpdateTrackEnd) {
    RowId source = AddSource();
    for (std::uint64_t t : {10'000, 20'000, 30'000, 40'000})
        list.InsertSplitPoint(source, t);
    RowId first = list.Children(source)[0];
    EXPECT_EQ(list.UpdateTrackEnd(first, 35'000), TrackUpdate::Done);
    EXPECT_EQ(Times(source), (std::vector<T>{{0, 35'000}, {35'000, 40'000}, {40'000, kDuration}}));
    EXPECT_EQ(list.UpdateTrackEnd(first, 0), TrackUpdate::EndNotAfterStart);
    RowId last = list.Children(source)[2];
    EXPECT_EQ(list.UpdateTrackEnd(last, 100'000), TrackUpdate::Done);
    EXPECT_EQ(
        Times(source),
        (std::vector<T>{{0, 35'000}, {35'000, 40'000}, {40'000, 100'000}, {100'000, kDuration}}));
    // Past every later track: the track ends with its source, never beyond.
    EXPECT_EQ(list.UpdateTrackEnd(list.Children(source)[1], kDuration + 5000), TrackUpdate::Done);
    EXPECT_EQ(Times(source), (std::vector<T>{{0, 35'000}, {35'000, kDuration}}));
}

// A cell edited from text follows the list's rules: times move boundaries (a refused move
// changes nothing), overlaps must be times, a source's name and length are not edited.
TEST_F(SplitListTest, EditCellFromText) {
    RowId source = AddSource();
    list.InsertSplitPoint(source, 100'000);
    RowId first = list.Children(source)[0];
    EXPECT_EQ(list.EditCell(first, kColTrack, "0:10.000-2:00.000"), CellEdit::Done);
    EXPECT_EQ(Times(source),
              (std::vector<T>{{0, 10'000}, {10'000, 120'000}, {120'000, kDuration}}));
    RowId second = list.Children(source)[1];
    // Past its old end: the end moves first, then the start, which the track before follows.
    EXPECT_EQ(list.EditCell(second, kColTrack, "2:30.000-4:00.000"), CellEdit::Done);
    EXPECT_EQ(Times(source),
              (std::vector<T>{{0, 150'000}, {150'000, 240'000}, {240'000, kDuration}}));
    EXPECT_EQ(list.EditCell(second, kColLength, "0:00.000"), CellEdit::EndNotAfterStart);
    EXPECT_EQ(list.EditCell(second, kColTrack, "1:00.000"), CellEdit::InvalidText);
    EXPECT_EQ(list.EditCell(second, kColFwdOverlap, "soon"), CellEdit::InvalidText);
    EXPECT_EQ(list.EditCell(second, kColFwdOverlap, "0:01.250"), CellEdit::Done);
    EXPECT_EQ(list.Row(second).overlaps.forwardMs, 1250u);
    EXPECT_EQ(list.EditCell(source, kColLength, "1:00.000"), CellEdit::NotEditable);
    EXPECT_EQ(list.EditCell(source, kColTrack, "x.mp3"), CellEdit::NotEditable);
    EXPECT_EQ(list.EditCell(list.Groups()[0], kColTrack, " "), CellEdit::InvalidText);
    EXPECT_EQ(Times(source)[1], (T{150'000, 240'000}));
}

// Column 0 reads "start-end" in the list's time form; invalid sides read as 0.
TEST_F(SplitListTest, TrackTimesText) {
    EXPECT_EQ(ParseTrackTimesText("1:02.500-2:00.000"), (T{62'500, 120'000}));
    EXPECT_EQ(ParseTrackTimesText(" 1:00:00.000 - 1:30:00.250 "), (T{3'600'000, 5'400'250}));
    EXPECT_EQ(ParseTrackTimesText("75:00.000-76:00.000"), (T{0, 0}));
    EXPECT_EQ(TrackTimesText({62'500, 3'600'000}), "1:02.500-1:00:00.000");
}

// Overlaps widen a track, clamped to the source.
TEST_F(SplitListTest, OverlapsClampToSource) {
    RowId source = AddSource();
    list.InsertSplitPoint(source, 2000);
    RowId first = list.Children(source)[0];
    RowId second = list.Children(source)[1];
    list.EditCell(second, kColBackOverlap, "0:05.000");
    list.EditCell(second, kColFwdOverlap, "0:05.000");
    EXPECT_EQ(list.GetTrackTimes(second, true, kDuration), (T{0, kDuration}));
    list.EditCell(first, kColFwdOverlap, "0:01.500");
    EXPECT_EQ(list.GetTrackTimes(first, true, kDuration), (T{0, 3500}));
    EXPECT_EQ(list.GetTrackTimes(first, false, kDuration), (T{0, 2000}));
}

// Removing a row takes its children and makes the row before it current; tracks of a source
// can be cleared alone.
TEST_F(SplitListTest, RemovingRows) {
    RowId a = AddSource("/m/a.mp3");
    RowId b = AddSource("/m/b.mp3");
    list.InsertSplitPoint(a, 1000);
    list.InsertSplitPoint(b, 1000);
    list.Remove(b);
    EXPECT_EQ(list.Current(), a);
    EXPECT_FALSE(list.Contains(b));
    list.RemoveTracks(list.Children(a)[1]);
    EXPECT_EQ(list.TrackCount(a), 0);
    EXPECT_EQ(list.Current(), a);
    list.Remove(list.Groups()[0]);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.Current(), kNoRow);
}

// A source moves with its tracks to the group chosen, even where two groups share its name; a
// row that is not a group moves nothing.
TEST_F(SplitListTest, MoveToGroup) {
    RowId source = AddSource();
    list.InsertSplitPoint(source, 1000);
    list.AddGroup("Target");
    RowId target = list.AddGroup("Target");
    EXPECT_FALSE(list.MoveToGroup(source, list.Children(source)[0]));
    EXPECT_EQ(list.GroupOf(source), list.Groups()[0]);
    EXPECT_TRUE(list.MoveToGroup(source, target));
    EXPECT_EQ(list.Parent(source), target);
    EXPECT_TRUE(list.Children(list.Groups()[0]).empty());
    EXPECT_EQ(list.TrackCount(source), 2);
    EXPECT_EQ(list.Current(), source);
}

// The toggle clears a row and its children first, sets them on the next use on the same row,
// and clears again when used on another row.
TEST_F(SplitListTest, ToggleChecked) {
    RowId source = AddSource();
    list.InsertSplitPoint(source, 1000);
    RowId track = list.Children(source)[1];
    EXPECT_FALSE(list.ToggleChecked(source));
    EXPECT_FALSE(list.Row(source).checked);
    EXPECT_FALSE(list.Row(track).checked);
    EXPECT_TRUE(list.ToggleChecked(source));
    EXPECT_TRUE(list.Row(track).checked);
    EXPECT_FALSE(list.ToggleChecked(track));
    EXPECT_FALSE(list.ToggleChecked(source));
}

// The mode text reads in either language; anything else is auto.
TEST_F(SplitListTest, ModeTexts) {
    EXPECT_EQ(ParseSplitModeText("快速分割"), SplitMode::Fast);
    EXPECT_EQ(ParseSplitModeText("Frame Split"), SplitMode::Frame);
    EXPECT_EQ(ParseSplitModeText("whatever"), SplitMode::Auto);
    EXPECT_EQ(SplitModeText(SplitMode::Frame), "帧分割");
}

// Loading a source takes its tags, the overlaps of the settings and the automatic sequence and
// track number of MPEG sources, and gives it the single track [0, D).
TEST_F(SplitListTest, LoadedSourceDefaults) {
    MemorySettingsStore settings;
    settings::AutoOverlap.Write(settings, 1);
    settings::ForwardOverlap.Write(settings, 1500);
    settings::BackwardOverlap.Write(settings, 250);
    settings::SplitMode.Write(settings, 2);
    const SourceLoadDefaults defaults = SourceLoadDefaultsFromSettings(settings);
    SourceFacts facts;
    facts.audioType = audio::AudioType::Mpeg;
    facts.durationMs = 90'000;
    facts.tags = {"", "Band", "Album", "1999", "Note", "7", "Rock"};
    RowId source = AddLoadedSource(list, defaults, "/m/live.mp3", facts);
    EXPECT_EQ(list.CellText(source, kColTitle), "[音轨 %S]");
    EXPECT_EQ(list.CellText(source, kColTrackNumber), "%S");
    EXPECT_EQ(list.CellText(source, kColArtist), "Band");
    EXPECT_EQ(list.CellText(source, kColGenre), "Rock");
    EXPECT_EQ(list.CellText(source, kColFwdOverlap), "0:01.500");
    EXPECT_EQ(list.CellText(source, kColBackOverlap), "0:00.250");
    EXPECT_EQ(list.CellText(source, kColMode), "帧分割");
    EXPECT_EQ(Times(source), (std::vector<T>{{0, 90'000}}));

    // With "if null" the file's own number stays; a preset's overlap wins.
    settings::SplitId3AutoTrackIfNull.Write(settings, 1);
    facts.tags.title = "Song";
    SourcePreset preset;
    preset.fwdOverlapMs = 3000;
    RowId second =
        AddLoadedSource(list, SourceLoadDefaultsFromSettings(settings), "/m/b.mp3", facts, preset);
    EXPECT_EQ(list.CellText(second, kColTrackNumber), "7");
    EXPECT_EQ(list.CellText(second, kColTitle), "Song[音轨 %S]");
    EXPECT_EQ(list.CellText(second, kColFwdOverlap), "0:03.000");
    facts.audioType = audio::AudioType::Wav;
    facts.tags.track.clear();
    // WAV pieces are tagged too: each gets its own title and number.
    RowId wav = AddLoadedSource(list, defaults, "/m/c.wav", facts);
    EXPECT_EQ(list.CellText(wav, kColTitle), "Song[音轨 %S]");
    EXPECT_EQ(list.CellText(wav, kColTrackNumber), "%S");
}

// A file that cannot be loaded is not added and the user is told; unreadable tags are reported
// and loading goes on; a load the user stops adds nothing and says nothing.
TEST_F(SplitListTest, LoadSourceReportsFailures) {
    struct FakeProbe : SourceProbe {
        std::optional<SourceFacts> Probe(const std::string& path, SplitMode,
                                         const LoadProgress& progress,
                                         ProbeFailure* failure) override {
            if (path == "/bad.mp3")
                return std::nullopt;
            if (path == "/long.mp3" && !progress(0)) {
                failure->cancelled = true;
                return std::nullopt;
            }
            SourceFacts facts;
            facts.durationMs = 1000;
            facts.tagsRead = false;
            return facts;
        }
    } probe;
    SourceLoadDefaults defaults;
    test::ScriptedHost host;
    EXPECT_EQ(LoadSource(list, defaults, host, probe, "/bad.mp3"), kNoRow);
    EXPECT_TRUE(host.Showed(Msg::CannotLoadFile));
    EXPECT_TRUE(list.Empty());
    EXPECT_NE(LoadSource(list, defaults, host, probe, "/good.mp3"), kNoRow);
    EXPECT_TRUE(host.Showed(Msg::TagsUnreadable));

    list.Clear();
    host.messages.clear();
    host.stopAtCall = {1};
    bool cancelled = false;
    EXPECT_EQ(LoadSource(list, defaults, host, probe, "/long.mp3", {}, &cancelled), kNoRow);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(list.Empty());
    EXPECT_TRUE(host.messages.empty());
}

// A view hears of removals before and insertions after they happen.
TEST_F(SplitListTest, ObserverSeesChanges) {
    struct Log : SplitListObserver {
        std::vector<std::string> events;
        void RowsAboutToBeRemoved(RowId, int first, int count) override {
            events.push_back("-? " + std::to_string(first) + "," + std::to_string(count));
        }
        void RowsRemoved(RowId, int first, int count) override {
            events.push_back("- " + std::to_string(first) + "," + std::to_string(count));
        }
        void RowsInserted(RowId, int first, int count) override {
            events.push_back("+ " + std::to_string(first) + "," + std::to_string(count));
        }
        void RowChanged(RowId) override {}
        void ListReset() override { events.push_back("reset"); }
    } log;
    list.SetObserver(&log);
    RowId source = AddSource();           // group, source
    list.InsertSplitPoint(source, 1000);  // track 0, track 1
    list.RemoveTracks(source);
    list.Clear();
    EXPECT_EQ(log.events, (std::vector<std::string>{"+ 0,1", "+ 0,1", "+ 0,1", "+ 1,1", "-? 0,2",
                                                    "- 0,2", "reset"}));
}

// The commands that speak: a group goes only after a yes, the whole list only after OK,
// refused boundaries are explained, and the first group brings the tips.
TEST_F(SplitListTest, CommandsAskAndTell) {
    test::ScriptedHost host;
    RowId group = AddGroupTelling(list, host, "G");
    EXPECT_EQ(host.questions.size(), 1u);  // the tips box
    AddGroupTelling(list, host, "H");
    EXPECT_EQ(host.questions.size(), 1u);
    RowId source = AddSource();
    list.InsertSplitPoint(source, 1000);
    RowId track = list.Children(source)[1];
    EXPECT_EQ(TrackCaption(list, track), "曲目号码 #02/02:");
    EXPECT_FALSE(MoveTrackStart(list, host, track, kDuration));
    EXPECT_TRUE(host.Showed(Msg::StartNotBeforeEnd));
    EXPECT_FALSE(MoveTrackEnd(list, host, track, 1000));
    EXPECT_TRUE(host.Showed(Msg::EndNotAfterStart));
    EXPECT_TRUE(MoveTrackStart(list, host, track, 2000));

    list.SetCurrent(group);
    host.yesNoAnswers = {false};
    EXPECT_FALSE(RemoveCurrentRow(list, host));
    EXPECT_TRUE(list.Contains(group));
    EXPECT_TRUE(RemoveCurrentRow(list, host));  // yes
    EXPECT_FALSE(list.Contains(group));
    list.SetCurrent(track);
    size_t asked = host.questions.size();
    EXPECT_TRUE(RemoveCurrentRow(list, host));  // a track goes without a question
    EXPECT_EQ(host.questions.size(), asked);

    host.infoAnswers = {false};
    EXPECT_FALSE(ClearSplitList(list, host));
    EXPECT_FALSE(list.Empty());
    EXPECT_TRUE(ClearSplitList(list, host));
    EXPECT_TRUE(list.Empty());
    EXPECT_FALSE(ClearSplitList(list, host));  // nothing to clear: no question
}

}  // namespace
}  // namespace partita
