#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "split/split_options.h"
#include "split/track_tools.h"
#include "support/scripted_host.h"

namespace partita {
namespace {

using Starts = std::vector<std::uint64_t>;

class TrackToolsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }

    RowId AddSource(const std::string& path, std::uint64_t duration) {
        SourceRowValues values;
        RowId source = list.AddSource(path, duration, values);
        list.InsertSplitPoint(source, 0);
        return source;
    }
    Starts StartsOf(RowId source) {
        Starts starts;
        for (RowId t : list.Children(source))
            starts.push_back(list.GetTrackTimes(t, false).start);
        return starts;
    }

    SplitList list;
    test::ScriptedHost host;
    MemorySettingsStore settings;
};

SpecialSplitRequest Parts(int count, SpecialSplitScope scope = SpecialSplitScope::Whole) {
    SpecialSplitRequest r;
    r.count = count;
    r.scope = scope;
    return r;
}

// Whole scope replaces a source's tracks; track scope divides one track and keeps the rest;
// N equal parts of 10 s fall at whole ms, the remainder in the last part.
TEST_F(TrackToolsTest, SpecialSplitOnASource) {
    RowId source = AddSource("/m/a.mp3", 10000);
    list.InsertSplitPoint(source, 5000);
    ASSERT_TRUE(ApplySpecialSplit(list, list.Children(source)[1], Parts(3), host));
    EXPECT_EQ(StartsOf(source), (Starts{0, 3333, 6666}));
    EXPECT_EQ(list.Current(), source);

    ASSERT_TRUE(ApplySpecialSplit(list, list.Children(source)[1],
                                  Parts(2, SpecialSplitScope::SelectedTrack), host));
    EXPECT_EQ(StartsOf(source), (Starts{0, 3333, 4999, 6666}));

    SpecialSplitRequest byTime;
    byTime.type = SpecialSplitType::FixedTime;
    byTime.stepMs = 4000;
    ASSERT_TRUE(ApplySpecialSplit(list, source, byTime, host));
    EXPECT_EQ(StartsOf(source), (Starts{0, 4000, 8000}));
    ASSERT_TRUE(ApplySpecialSplit(list, source, Parts(1), host));
    EXPECT_EQ(StartsOf(source), (Starts{0}));
    EXPECT_TRUE(host.questions.empty());

    EXPECT_EQ(SpecialScopeLength(list, source, SpecialSplitScope::Whole), 10000u);
    list.InsertSplitPoint(source, 2500);
    EXPECT_EQ(SpecialScopeLength(list, list.Children(source)[1], SpecialSplitScope::SelectedTrack),
              7500u);
    EXPECT_EQ(SpecialScopeLength(list, list.Children(source)[1], SpecialSplitScope::Whole), 10000u);
    EXPECT_EQ(SpecialScopeLength(list, list.Parent(source), SpecialSplitScope::Whole),
              kGroupScopeLengthMs);
}

// On a group every source is divided by its own length, after ConfirmReplaceTracks; "no" keeps all.
TEST_F(TrackToolsTest, SpecialSplitOnAGroup) {
    RowId a = AddSource("/m/a.mp3", 9000);
    RowId b = AddSource("/m/b.mp3", 6000);
    list.InsertSplitPoint(a, 1000);
    RowId group = list.Parent(a);
    host.yesNoAnswers = {false};
    EXPECT_FALSE(ApplySpecialSplit(list, group, Parts(3), host));
    EXPECT_EQ(StartsOf(a), (Starts{0, 1000}));
    EXPECT_TRUE(ApplySpecialSplit(list, group, Parts(3), host));
    EXPECT_EQ(StartsOf(a), (Starts{0, 3000, 6000}));
    EXPECT_EQ(StartsOf(b), (Starts{0, 2000, 4000}));
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(list.Current(), group);
}

// "Auto Add Special" divides a new source by the stored type; a piece length that would make
// more than 999 pieces is not applied.
TEST_F(TrackToolsTest, AutomaticSpecialSplit) {
    RowId a = AddSource("/m/a.mp3", 180000);
    ApplyAutoSpecialSplit(list, a, SourceLoadDefaultsFromSettings(settings));
    EXPECT_EQ(StartsOf(a), (Starts{0}));
    settings::AutoAddSpecial.Write(settings, 1);
    ApplyAutoSpecialSplit(list, a, SourceLoadDefaultsFromSettings(settings));
    EXPECT_EQ(StartsOf(a), (Starts{0, 60000, 120000}));

    RowId b = AddSource("/m/b.mp3", 10000);
    settings::AddSpecialTypeAtLoad.Write(settings, 0);
    settings::AddSpecialBySectionAtLoad.Write(settings, 4);
    ApplyAutoSpecialSplit(list, b, SourceLoadDefaultsFromSettings(settings));
    EXPECT_EQ(StartsOf(b), (Starts{0, 2500, 5000, 7500}));

    RowId c = AddSource("/m/c.mp3", 1'000'000);
    settings::AddSpecialTypeAtLoad.Write(settings, 1);
    settings::AddSpecialByTime.Write(settings, 1000);
    ApplyAutoSpecialSplit(list, c, SourceLoadDefaultsFromSettings(settings));
    EXPECT_EQ(StartsOf(c), (Starts{0}));
}

// Section lists name tracks by number and range; other parts are passed over.
TEST(SectionList, Parses) {
    EXPECT_EQ(ParseSectionList("1,3,6-8"), (std::vector<int>{1, 3, 6, 7, 8}));
    EXPECT_EQ(ParseSectionList(" 2 , 2-3,x,5-4,0,-1, 9"), (std::vector<int>{2, 3, 9}));
    EXPECT_EQ(ParseSectionList(""), std::vector<int>{});
}

// Overlaps go to every track and the source, to one item, or to the listed sections.
TEST_F(TrackToolsTest, Overlaps) {
    RowId a = AddSource("/m/a.mp3", 10000);
    RowId b = AddSource("/m/b.mp3", 10000);
    for (std::uint64_t t : {2000u, 4000u, 6000u})
        list.InsertSplitPoint(a, t);
    list.InsertSplitPoint(b, 5000);
    const auto& tracks = list.Children(a);
    auto bw = [&](RowId row) { return list.CellText(row, kColBackOverlap); };
    auto fw = [&](RowId row) { return list.CellText(row, kColFwdOverlap); };

    ApplyOverlaps(list, tracks[1], {1000, 2000}, OverlapScope::Whole);
    for (RowId row : {a, tracks[0], tracks[3]}) {
        EXPECT_EQ(bw(row), "0:01.000");
        EXPECT_EQ(fw(row), "0:02.000");
    }
    EXPECT_EQ(bw(b), "0:00.000");

    ApplyOverlaps(list, tracks[2], {0, 500}, OverlapScope::SelectedItem);
    EXPECT_EQ(fw(tracks[2]), "0:00.500");
    EXPECT_EQ(fw(tracks[1]), "0:02.000");

    ApplyOverlaps(list, tracks[0], {300, 0}, OverlapScope::Sections, "2-3,9");
    EXPECT_EQ(bw(tracks[0]), "0:01.000");
    EXPECT_EQ(bw(tracks[1]), "0:00.300");
    EXPECT_EQ(bw(tracks[2]), "0:00.300");
    EXPECT_EQ(bw(tracks[3]), "0:01.000");
    ApplyOverlaps(list, tracks[3], {400, 0}, OverlapScope::Sections, "nothing");
    EXPECT_EQ(bw(tracks[3]), "0:00.400");

    // The cut of a track widened by its overlaps stays within the source.
    ApplyOverlaps(list, a, {3000, 5000}, OverlapScope::Whole);
    EXPECT_EQ(list.GetTrackTimes(tracks[1], true, 10000), (TrackTimes{0, 9000}));
    EXPECT_EQ(list.GetTrackTimes(tracks[3], true, 10000), (TrackTimes{3000, 10000}));

    ApplyOverlaps(list, list.Parent(a), {0, 0}, OverlapScope::Whole);
    for (RowId row : {a, b, tracks[1], list.Children(b)[1]})
        EXPECT_EQ(bw(row), "0:00.000");
    // A group holds none itself: the other scopes too give them to its items.
    ApplyOverlaps(list, list.Parent(a), {700, 0}, OverlapScope::SelectedItem);
    for (RowId row : {a, b, tracks[1], list.Children(b)[1]})
        EXPECT_EQ(bw(row), "0:00.700");
    ApplyOverlaps(list, list.Parent(a), {0, 800}, OverlapScope::Sections, "1");
    for (RowId row : {a, b, tracks[1], list.Children(b)[1]})
        EXPECT_EQ(fw(row), "0:00.800");
}

}  // namespace
}  // namespace partita
