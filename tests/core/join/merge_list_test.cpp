#include "join/merge_list.h"

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "fake_inspector.h"
#include "support/test_support.h"

namespace partita {
namespace {

class MergeListTest : public test::TempDirTest {
  protected:
    MemorySettingsStore settings;
    test::FakeInspector inspector;
    MergeList list;

    std::string P(const std::string& name) { return (dir / name).string(); }
    void Add(const std::string& name) {
        ASSERT_TRUE(list.AddFile(P(name), list.Size(), inspector, settings).added) << name;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& row : list.Rows())
            names.push_back(row[kMergeFileName]);
        return names;
    }
};

// A row holds the file's texts; times drop their milliseconds and the totals add the texts.
TEST_F(MergeListTest, RowTextsAndTotals) {
    auto& f = inspector.Add("a.mp3", 200'500, 44100, 1, 128);
    f.fileSize = 3'208'000;
    f.artist = "Artist";
    f.track = "3/12";
    Add("a.mp3");
    const MergeRow& row = list.Row(0);
    EXPECT_EQ(row[kMergeFileName], "a.mp3");
    EXPECT_EQ(row[kMergeFolder], dir.Path().string());
    EXPECT_EQ(row.Path(), P("a.mp3"));
    EXPECT_EQ(row[kMergeLength], "0:03:20");
    EXPECT_EQ(row[kMergeStart], "0:00:00");
    EXPECT_EQ(row[kMergeEnd], "0:03:20");
    EXPECT_EQ(row[kMergeSilence], "<无>");
    EXPECT_EQ(row[kMergeTitle], "a.mp3 title");
    EXPECT_EQ(row[kMergeArtist], "Artist");
    EXPECT_EQ(row[kMergeTrack], "3/12");
    EXPECT_EQ(row[kMergeSampleRate], "44100");
    EXPECT_EQ(row[kMergeBitrate], "128kbps");
    EXPECT_EQ(row[kMergeChannels], "联合立体声");
    EXPECT_EQ(row[kMergeFileSize], "3208000");
    EXPECT_TRUE(row.selected);
    EXPECT_FALSE(row.Range().IsSet());
    EXPECT_EQ(row.SilenceSeconds(), 0);
    EXPECT_EQ(list.TotalLengthMs(), 200'000u);
    EXPECT_EQ(list.TotalSize(), 3'208'000u);
    EXPECT_EQ(settings::MergeSourceLastFolder.Read(settings), dir.Path().string());
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
    EXPECT_EQ(list.Row(0).SilenceSeconds(), 0);
    EXPECT_FALSE(list.Row(1).Range().IsSet());
    EXPECT_EQ(list.Row(1)[kMergeSilence], "3");
    EXPECT_EQ(list.Row(1).SilenceSeconds(), 3);
}

// An unreadable file is left out with its message; a file without readable tags is added
// with TagsUnreadable.
TEST_F(MergeListTest, FailedInspectionAndUnreadableTags) {
    auto outcome = list.AddFile(P("missing.mp3"), 0, inspector, settings);
    EXPECT_FALSE(outcome.added);
    EXPECT_EQ(outcome.message->Id(), Msg::CannotLoadFile);
    EXPECT_EQ(list.Size(), 0u);
    inspector.Add("zero.mp3", 0);
    EXPECT_FALSE(list.AddFile(P("zero.mp3"), 0, inspector, settings).added);
    inspector.Add("b.wav", 5'000).tagsRead = false;
    outcome = list.AddFile(P("b.wav"), 0, inspector, settings);
    EXPECT_TRUE(outcome.added);
    EXPECT_EQ(outcome.message->Id(), Msg::TagsUnreadable);
}

// Column 4, the partial range and the bitrate text as the engines and the survey read them.
TEST_F(MergeListTest, RangeSilenceAndBitrateTexts) {
    inspector.Add("a.mp3", 100'000);
    Add("a.mp3");
    MergeRow& row = list.Row(0);
    row[kMergeStart] = "0:00:30";
    row[kMergeEnd] = "0:00:20";  // end before start: no range at all
    EXPECT_FALSE(row.Range().IsSet());
    row[kMergeEnd] = "0:01:40";  // end at the length: to the end of the file
    EXPECT_EQ(row.Range().startMs, 30'000u);
    EXPECT_EQ(row.Range().endMs, 0u);
    row[kMergeEnd] = "0:00:30";  // end equal to start: from the start to the end
    EXPECT_EQ(row.Range().endMs, 30'000u);
    row[kMergeSilence] = "<None>";
    EXPECT_EQ(row.SilenceSeconds(), 0);
    EXPECT_EQ(SilenceText(0), "<无>");

    MergeFileFacts f;
    f.audioType = audio::AudioType::Mpeg;
    f.bitrateKbps = 187.6;
    f.vbr = true;
    EXPECT_EQ(BitrateText(f), "188kbps VBR");
    f.audioType = audio::AudioType::Wav;  // WAV: the average of size and duration
    f.fileSize = 1'764'000;
    f.durationMs = 10'000;
    EXPECT_EQ(BitrateText(f), "1411kbps");
}

// New rows take the stored silence and partial settings when those apply to new rows.
TEST_F(MergeListTest, StoredSettingsApplyToNewRows) {
    inspector.Add("a.mp3", 200'000);
    settings::AutoApplySilence.Write(settings, 1);
    settings::MergeSilenceLength.Write(settings, 4);
    settings::PartialMergeAutoApply.Write(settings, 1);
    settings::PartialMergeEnable.Write(settings, 1);
    settings::PartialMergeStart.Write(settings, 5'000);
    settings::PartialMergeMode.Write(settings, 2);
    settings::PartialMergeLength.Write(settings, 30'000);
    Add("a.mp3");
    EXPECT_EQ(list.Row(0)[kMergeSilence], "4");
    EXPECT_EQ(list.Row(0)[kMergeStart], "0:00:05");
    EXPECT_EQ(list.Row(0)[kMergeEnd], "0:00:35");
}

// The three ways to set the end, each against the row's own length.
TEST_F(MergeListTest, PartialSettingsModes) {
    inspector.Add("long.mp3", 200'000);
    inspector.Add("short.mp3", 40'000);
    Add("long.mp3");
    Add("short.mp3");
    settings::PartialMergeEnable.Write(settings, 1);
    settings::PartialMergeStart.Write(settings, 10'000);
    auto apply = [&](std::size_t i) {
        list.ApplyPartialSettings(i, settings);
        return list.Row(i)[kMergeStart] + "-" + list.Row(i)[kMergeEnd];
    };
    // Mode 0, end position 60 s (default): cut to the length of a shorter file.
    EXPECT_EQ(apply(0), "0:00:10-0:01:00");
    EXPECT_EQ(apply(1), "0:00:10-0:00:40");
    // Mode 1: a length before the end; longer than the file leaves the row as it was.
    settings::PartialMergeMode.Write(settings, 1);
    settings::PartialMergeLength2End.Write(settings, 50'000);
    EXPECT_EQ(apply(0), "0:00:10-0:02:30");
    EXPECT_EQ(apply(1), "0:00:10-0:00:40");
    // Mode 2: a length from the start.
    settings::PartialMergeMode.Write(settings, 2);
    settings::PartialMergeLength.Write(settings, 20'000);
    EXPECT_EQ(apply(0), "0:00:10-0:00:30");
    EXPECT_EQ(apply(1), "0:00:10-0:00:30");
    // Disabled: the whole file.
    settings::PartialMergeEnable.Write(settings, 0);
    EXPECT_EQ(apply(0), "0:00:00-0:03:20");
    EXPECT_FALSE(list.Row(0).Range().IsSet());
    // Mode 1 with a length over the file and no start: no range either.
    settings::PartialMergeEnable.Write(settings, 1);
    settings::PartialMergeStart.Write(settings, 0);
    settings::PartialMergeMode.Write(settings, 1);
    settings::PartialMergeLength2End.Write(settings, 500'000);
    apply(1);
    EXPECT_FALSE(list.Row(1).Range().IsSet());
}

// A batch is re-sorted by the stored column (file name by default) and only its first row
// stays selected; a list file's batch keeps its order.
TEST_F(MergeListTest, BatchSortingAndSelection) {
    for (const char* name : {"c.mp3", "a.mp3", "b.mp3", "d.mp3"})
        inspector.Add(name, 60'000);
    inspector.files["a.mp3"].sampleRate = 48000;
    inspector.files["c.mp3"].sampleRate = 8000;
    Add("c.mp3");
    Add("a.mp3");
    list.FinishBatch(0, true, settings);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.mp3", "c.mp3"}));
    EXPECT_TRUE(list.Row(1).selected);
    EXPECT_FALSE(list.Row(0).selected);
    EXPECT_EQ(settings::JoinSortingColumn.ReadRaw(settings, -1), 0);  // stored on first use

    // Moving a row and adding another re-sorts the whole list.
    std::swap(list.Row(0), list.Row(1));
    Add("b.mp3");
    list.FinishBatch(2, true, settings);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.mp3", "b.mp3", "c.mp3"}));

    // Sample rates compare as numbers, descending with direction 0.
    settings::JoinSortingColumn.Write(settings, kMergeSampleRate);
    settings::JoinSortingDir.Write(settings, 0);
    list.Row(1)[kMergeSampleRate] = "5000";
    list.FinishBatch(0, true, settings);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.mp3", "c.mp3", "b.mp3"}));

    // Unsorted above 16, and never for a list file's batch.
    settings::JoinSortingColumn.Write(settings, 17);
    Add("d.mp3");
    std::swap(list.Row(0), list.Row(3));
    list.FinishBatch(0, true, settings);
    EXPECT_EQ(list.Row(0)[kMergeFileName], "d.mp3");
    settings::JoinSortingColumn.Write(settings, 0);
    list.FinishBatch(0, false, settings);
    EXPECT_EQ(list.Row(0)[kMergeFileName], "d.mp3");
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
