#include "join/merge_list.h"

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "fake_inspector.h"
#include "join/merge_settings.h"
#include "support/test_support.h"

namespace partita {
namespace {

class MergeListTest : public test::TempDirTest {
  protected:
    MergeListDefaults defaults;
    test::FakeInspector inspector;
    MergeList list;

    std::string P(const std::string& name) { return (dir / name).string(); }
    void Add(const std::string& name) {
        ASSERT_TRUE(list.AddFile(P(name), list.Size(), inspector, defaults).added) << name;
    }
    // Rows "a.mp3", "b.mp3", ... in this order, one minute each.
    void AddNamed(const std::string& letters) {
        for (char c : letters) {
            std::string name = std::string(1, c) + ".mp3";
            inspector.Add(name, 60'000);
            Add(name);
        }
    }
    // The first letters of the file names, in list order.
    std::string Order() const {
        std::string order;
        for (const auto& row : list.Rows())
            order += row.fileName[0];
        return order;
    }
};

// A row holds the file's values; its texts drop the milliseconds of times and the totals add
// what the rows show.
TEST_F(MergeListTest, RowTextsAndTotals) {
    auto& f = inspector.Add("a.mp3", 200'500, 44100, 1, 128);
    f.fileSize = 3'208'000;
    f.tags.artist = "Artist";
    f.tags.track = "3/12";
    Add("a.mp3");
    const MergeRow& row = list.Row(0);
    EXPECT_EQ(row.Path(), P("a.mp3"));
    EXPECT_EQ(row.lengthMs, 200'000u);
    EXPECT_TRUE(row.IsMpeg());
    EXPECT_FALSE(row.IsMono());
    const std::vector<std::string> texts = {
        "a.mp3",       "0:03:20",          "0:00:00", "0:03:20", "<无>",
        "a.mp3 title", "Artist",           "",        "3/12",    "44100",
        "128kbps",     "联合立体声",       "",        "",        "",
        "3208000",     dir.Path().string()};
    for (int column = 0; column < kMergeColumnCount; ++column)
        EXPECT_EQ(list.Text(0, column), texts[column]) << column;
    EXPECT_FALSE(row.Range().IsSet());
    EXPECT_EQ(list.TotalLengthMs(), 200'000u);
    EXPECT_EQ(list.TotalSize(), 3'208'000u);
    list.Clear();
    EXPECT_EQ(list.TotalLengthMs(), 0u);
    EXPECT_EQ(FormatTotalSize(list.TotalSize()), "0 KB");
}

// The same file twice gives two rows with their own range and silence.
TEST_F(MergeListTest, SameFileTwiceGivesIndependentRows) {
    inspector.Add("a.mp3", 60'000);
    Add("a.mp3");
    Add("a.mp3");
    ASSERT_EQ(list.Size(), 2u);
    list.SetRange(0, 10'000, 20'000);
    list.SetSilence(1, 3);
    EXPECT_EQ(list.Row(0).Range().startMs, 10'000u);
    EXPECT_EQ(list.Row(0).silenceSeconds, 0);
    EXPECT_FALSE(list.Row(1).Range().IsSet());
    EXPECT_EQ(list.Text(1, kMergeSilence), "3");
}

// An unreadable file is left out with its message; a file without readable tags is added
// with TagsUnreadable.
TEST_F(MergeListTest, FailedInspectionAndUnreadableTags) {
    auto outcome = list.AddFile(P("missing.mp3"), 0, inspector, defaults);
    EXPECT_FALSE(outcome.added);
    EXPECT_EQ(outcome.message->Id(), Msg::CannotLoadFile);
    EXPECT_EQ(list.Size(), 0u);
    inspector.Add("zero.mp3", 0);
    EXPECT_FALSE(list.AddFile(P("zero.mp3"), 0, inspector, defaults).added);
    inspector.Add("b.wav", 5'000).tagsRead = false;
    outcome = list.AddFile(P("b.wav"), 0, inspector, defaults);
    EXPECT_TRUE(outcome.added);
    EXPECT_EQ(outcome.message->Id(), Msg::TagsUnreadable);
}

// The partial range as the engines read it, the silence, and the listed bitrate and type.
TEST_F(MergeListTest, RangeSilenceBitrateAndType) {
    inspector.Add("a.mp3", 100'000);
    Add("a.mp3");
    list.SetRange(0, 30'000, 20'000);  // end before start: no range at all
    EXPECT_FALSE(list.Row(0).Range().IsSet());
    list.SetRange(0, 30'000, 100'000);  // end at the length: to the end of the file
    EXPECT_EQ(list.Row(0).Range().startMs, 30'000u);
    EXPECT_EQ(list.Row(0).Range().endMs, 0u);
    list.SetRange(0, 30'000, 30'999);  // kept to the second; end equal to start
    EXPECT_EQ(list.Row(0).Range().endMs, 30'000u);
    list.SetSilence(0, -2);
    EXPECT_EQ(list.Text(0, kMergeSilence), "<无>");

    MergeFileFacts f;
    f.audioType = audio::AudioType::Mpeg;
    f.bitrateKbps = 187.6;
    f.vbr = true;
    EXPECT_EQ(MergeRow::FromFacts("/m/a.mp3", f).Text(kMergeBitrate), "188kbps VBR");
    f.audioType = audio::AudioType::Wav;  // WAV: the average of size and duration
    f.fileSize = 1'764'000;
    f.durationMs = 10'000;
    EXPECT_EQ(MergeRow::FromFacts("/m/a.wav", f).Text(kMergeBitrate), "1412kbps");  // 1411.2+0.5
    // The type goes by the extension when it names one, else by what the file holds.
    f.audioType = audio::AudioType::Mpeg;
    EXPECT_EQ(MergeRow::FromFacts("/m/a.wav", f).audioType, audio::AudioType::Wav);
    EXPECT_EQ(MergeRow::FromFacts("/m/a.mpa", f).audioType, audio::AudioType::Mpeg);
    // Mono is channel mode 3 for MPEG files, one channel for the others.
    f.channelMode = -1;
    f.channels = 1;
    EXPECT_EQ(MergeRow::FromFacts("/m/a.wav", f).Text(kMergeChannels), "单声道");
    f.channelMode = 2;
    EXPECT_FALSE(MergeRow::FromFacts("/m/a.mp3", f).IsMono());
}

// New rows take the stored silence and partial settings when those apply to new rows.
TEST_F(MergeListTest, StoredSettingsApplyToNewRows) {
    MemorySettingsStore settings;
    inspector.Add("a.mp3", 200'000);
    settings::AutoApplySilence.Write(settings, 1);
    settings::MergeSilenceLength.Write(settings, 4);
    settings::PartialMergeAutoApply.Write(settings, 1);
    settings::PartialMergeEnable.Write(settings, 1);
    settings::PartialMergeStart.Write(settings, 5'000);
    settings::PartialMergeMode.Write(settings, 2);
    settings::PartialMergeLength.Write(settings, 30'000);
    defaults = ReadMergeListDefaults(settings);
    Add("a.mp3");
    EXPECT_EQ(list.Row(0).silenceSeconds, 4);
    EXPECT_EQ(list.Text(0, kMergeStart), "0:00:05");
    EXPECT_EQ(list.Text(0, kMergeEnd), "0:00:35");
    EXPECT_EQ(defaults.sort.column, kMergeFileName);
    EXPECT_TRUE(defaults.sort.ascending);
}

// The three ways to set the end, each against the row's own length.
TEST_F(MergeListTest, PartialSettingsModes) {
    using EndMode = PartialMergeSettings::EndMode;
    inspector.Add("long.mp3", 200'000);
    inspector.Add("short.mp3", 40'000);
    Add("long.mp3");
    Add("short.mp3");
    PartialMergeSettings partial;
    partial.enabled = true;
    partial.startMs = 10'000;
    auto apply = [&](std::size_t i) {
        list.ApplyPartialSettings(i, partial);
        return list.Text(i, kMergeStart) + "-" + list.Text(i, kMergeEnd);
    };
    // End position 60 s: cut to the length of a shorter file.
    EXPECT_EQ(apply(0), "0:00:10-0:01:00");
    EXPECT_EQ(apply(1), "0:00:10-0:00:40");
    // A length before the end; longer than the file leaves the row as it was.
    partial.mode = EndMode::LengthBeforeEnd;
    partial.lengthBeforeEndMs = 50'000;
    EXPECT_EQ(apply(0), "0:00:10-0:02:30");
    EXPECT_EQ(apply(1), "0:00:10-0:00:40");
    // A length from the start.
    partial.mode = EndMode::LengthFromStart;
    partial.lengthFromStartMs = 20'000;
    EXPECT_EQ(apply(0), "0:00:10-0:00:30");
    EXPECT_EQ(apply(1), "0:00:10-0:00:30");
    // Disabled: the whole file.
    partial.enabled = false;
    EXPECT_EQ(apply(0), "0:00:00-0:03:20");
    EXPECT_FALSE(list.Row(0).Range().IsSet());
    // A length before the end over the file and no start: no range either.
    partial = {true, EndMode::LengthBeforeEnd, 0, 0, 500'000, 0};
    apply(1);
    EXPECT_FALSE(list.Row(1).Range().IsSet());
}

// Blocks move together, gathered in list order, and stop at the ends; a drop index names where
// the block's first row lands, the last place when it is below the rows.
TEST_F(MergeListTest, MoveBlocks) {
    AddNamed("abcde");
    std::vector<std::size_t> bc{1, 2};
    EXPECT_EQ(list.MoveRows(bc, MergeMove::Up), 0u);
    EXPECT_EQ(Order(), "bcade");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{0, 1}, MergeMove::Up), 0u);  // at the top
    EXPECT_EQ(Order(), "bcade");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{1, 0}, MergeMove::Down), 1u);
    EXPECT_EQ(Order(), "abcde");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{4}, MergeMove::Down), 4u);  // at the bottom
    EXPECT_EQ(Order(), "abcde");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{0, 2}, MergeMove::Bottom), 3u);
    EXPECT_EQ(Order(), "bdeac");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{1, 3, 3}, MergeMove::Top), 0u);
    EXPECT_EQ(Order(), "dabec");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{2, 4}, MergeMove::Down), 3u);
    EXPECT_EQ(Order(), "daebc");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{0}, 3), 3u);  // dropped on row 3
    EXPECT_EQ(Order(), "aebdc");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{0, 1}, 99), 3u);  // below the rows
    EXPECT_EQ(Order(), "bdcae");
    EXPECT_EQ(list.MoveRows(std::vector<std::size_t>{7}, MergeMove::Top), MergeList::kNoRow);
    EXPECT_EQ(Order(), "bdcae");
}

// Removing a set of rows in any order; the row before the first removed one is next.
TEST_F(MergeListTest, RemoveRows) {
    AddNamed("abcde");
    EXPECT_EQ(list.RemoveRows(std::vector<std::size_t>{4, 2, 4, 9}), 1u);
    EXPECT_EQ(Order(), "abd");
    EXPECT_EQ(list.TotalLengthMs(), 180'000u);
    EXPECT_EQ(list.RemoveRows(std::vector<std::size_t>{0}), 0u);
    EXPECT_EQ(Order(), "bd");
    list.RemoveRows(std::vector<std::size_t>{});
    EXPECT_EQ(Order(), "bd");
    list.RemoveRows(std::vector<std::size_t>{0, 1});
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.TotalSize(), 0u);
}

// Texts compare without letter case, times and numbers as numbers (where their texts would
// sort otherwise); equal rows keep their order, and the followed row is found again.
TEST_F(MergeListTest, SortByColumnKinds) {
    inspector.Add("b.mp3", 100'000, 8000, 1, 64).fileSize = 900;
    inspector.Add("A.mp3", 9'000, 44100, 1, 128).fileSize = 10'000;
    inspector.Add("C.mp3", 20'000, 11025, 1, 128).fileSize = 900;
    for (const char* name : {"b.mp3", "A.mp3", "C.mp3"})
        Add(name);
    list.SetSilence(0, 10);
    list.SetSilence(2, 9);
    list.SetRange(1, 5'000, 9'000);

    auto sorted = [&](int column, bool ascending = true) {
        list.SortBy({column, ascending});
        return Order();
    };
    EXPECT_EQ(sorted(kMergeFileName), "AbC");
    EXPECT_EQ(sorted(kMergeFileName, false), "CbA");
    EXPECT_EQ(sorted(kMergeLength), "ACb");
    EXPECT_EQ(sorted(kMergeStart), "CbA");  // equal starts keep their order
    EXPECT_EQ(sorted(kMergeSilence), "ACb");
    EXPECT_EQ(sorted(kMergeSampleRate), "bCA");
    EXPECT_EQ(sorted(kMergeBitrate, false), "CAb");
    EXPECT_EQ(sorted(kMergeFileSize), "CbA");
    EXPECT_EQ(sorted(kMergeTitle), "AbC");

    // The followed row's new place; an unsorted order changes nothing.
    EXPECT_EQ(list.SortBy({kMergeLength, false}, 0), 2u);  // A: the shortest, now last
    EXPECT_EQ(Order(), "bCA");
    EXPECT_EQ(list.SortBy({17, true}, 2), 2u);
    EXPECT_EQ(Order(), "bCA");

    // A click on the sort column turns it round; another column sorts ascending.
    MergeSortOrder order = NextSortOrder({kMergeLength, true}, kMergeLength);
    EXPECT_FALSE(order.ascending);
    order = NextSortOrder(order, kMergeTitle);
    EXPECT_EQ(order.column, kMergeTitle);
    EXPECT_TRUE(order.ascending);
}

// The observer hears of every change in the order a view needs: removals before (the rows are
// still there) and after, insertions after, changed rows, resets.
TEST_F(MergeListTest, ObserverSeesChanges) {
    struct Log : MergeListObserver {
        const MergeList* list = nullptr;
        std::vector<std::string> events;
        void Add(const std::string& what, int a, int b = -1) {
            events.push_back(what + " " + std::to_string(a) +
                             (b < 0 ? "" : " " + std::to_string(b)) + " of " +
                             std::to_string(list->Size()));
        }
        void RowsAboutToBeRemoved(int first, int count) override { Add("removing", first, count); }
        void RowsRemoved(int first, int count) override { Add("removed", first, count); }
        void RowsInserted(int first, int count) override { Add("inserted", first, count); }
        void RowChanged(int row) override { Add("changed", row); }
        void ListReset() override { Add("reset", 0); }
    } log;
    log.list = &list;
    AddNamed("abc");
    list.SetObserver(&log);

    inspector.Add("d.mp3", 1'000);
    list.AddFile(P("d.mp3"), 1, inspector, defaults);
    list.AddFile(P("missing.mp3"), 0, inspector, defaults);  // nothing added, nothing heard
    list.SetSilence(0, 2);
    list.SetRange(3, 1'000, 2'000);
    list.RemoveRows(std::vector<std::size_t>{0, 2, 3});
    list.MoveRows(std::vector<std::size_t>{0}, MergeMove::Up);  // already there: silence
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"inserted 1 1 of 4", "changed 0 of 4", "changed 3 of 4",
                                        "removing 2 2 of 4", "removed 2 2 of 2",
                                        "removing 0 1 of 2", "removed 0 1 of 1"}));
    AddNamed("ef");
    log.events.clear();
    list.MoveRows(std::vector<std::size_t>{0}, MergeMove::Bottom);
    list.SortBy({kMergeFileName, true});
    list.Clear();
    EXPECT_EQ(log.events,
              (std::vector<std::string>{"removing 0 1 of 3", "removed 0 1 of 2",
                                        "inserted 2 1 of 3", "reset 0 of 3", "reset 0 of 0"}));
}

// The size total shows KB below 1024 KB and MB from there.
TEST(MergeTotals, SizeText) {
    EXPECT_EQ(FormatTotalSize(0), "0 KB");
    EXPECT_EQ(FormatTotalSize(1'048'575), "1024 KB");
    EXPECT_EQ(FormatTotalSize(1'048'576), "1.0 MB");
    EXPECT_EQ(FormatTotalSize(5'500'000), "5.2 MB");
}

}  // namespace
}  // namespace partita
