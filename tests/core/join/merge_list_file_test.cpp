#include "join/merge_list_file.h"

#include "fake_inspector.h"
#include "support/test_support.h"

namespace partita {
namespace {

class MergeListFileTest : public test::TempDirTest {
  protected:
    MergeListDefaults defaults;
    test::FakeInspector inspector;
    MergeList list;

    std::string P(const std::string& name) { return (dir / name).string(); }
};

// Saving writes the extension lines only where a row has them; loading restores ranges (to the
// second) and silences.
TEST_F(MergeListFileTest, SaveAndLoadRestoreRangesAndSilence) {
    inspector.Add("a.mp3", 200'000);
    inspector.Add("b.mp3", 100'000);
    inspector.Add("c.mp3", 100'000);
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        ASSERT_TRUE(list.AddFile(P(name), list.Size(), inspector, defaults).added);
    list.SetRange(0, 90'400, 200'000);  // start only: the end is the length
    list.SetSilence(0, 3);
    list.SetRange(2, 0, 50'000);
    std::string text = FormatM3u(list);
    EXPECT_EQ(text, "#EXTM3U\r\n#EXTMERGEBEGIN: 0:01:30\r\n#EXTSILENCE: 3\r\n" + P("a.mp3") +
                        "\r\n" + P("b.mp3") + "\r\n#EXTMERGEEND: 0:00:50\r\n" + P("c.mp3") +
                        "\r\n");
    ASSERT_TRUE(SaveMergeList(list, P("list.m3u"), {}).ok());
    EXPECT_EQ(test::ReadFileBytes(dir / "list.m3u").size(), text.size());

    MergeList loaded;
    loaded.AddFile(P("c.mp3"), 0, inspector, defaults);  // loading appends
    MergeListLoad load;
    ASSERT_TRUE(LoadMergeList(loaded, P("list.m3u"), inspector, defaults, &load).ok());
    EXPECT_EQ(load.added, 3u);
    EXPECT_EQ(load.firstRow, 1u);
    ASSERT_EQ(loaded.Size(), 4u);
    EXPECT_EQ(loaded.Row(1).Range().startMs, 90'000u);
    EXPECT_EQ(loaded.Text(1, kMergeEnd), "0:03:20");
    EXPECT_EQ(loaded.Row(1).silenceSeconds, 3);
    EXPECT_FALSE(loaded.Row(2).Range().IsSet());
    EXPECT_EQ(loaded.Row(3).Range().endMs, 50'000u);
    EXPECT_EQ(loaded.Row(3).fileName, "c.mp3");  // list order kept
}

// Extension values apply to the next path only; prefixes match in any case; line ends of
// every kind read alike; other comments are skipped.
TEST_F(MergeListFileTest, M3uExtensionLines) {
    auto entries = ParseM3u(
        "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:123,Someone - Something\r\n#extsilence: 4\r\r"
        "#ExtMergeBegin:0:00:10\n\r  /music/a.mp3  \r\n\r/music/b.mp3\n#EXTMERGEEND: "
        "1:02:03\r#EXTSILENCE: -2\r\nc.mp3");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].path, "/music/a.mp3");
    EXPECT_EQ(entries[0].silenceSeconds, 4);
    EXPECT_EQ(entries[0].startMs, 10'000u);
    EXPECT_EQ(entries[1].path, "/music/b.mp3");
    EXPECT_EQ(entries[1].silenceSeconds, 0);
    EXPECT_EQ(entries[1].startMs, 0u);
    EXPECT_EQ(entries[2].endMs, 3'723'000u);
    EXPECT_EQ(entries[2].silenceSeconds, -2);  // not above 0: never applied
    EXPECT_TRUE(ParseM3u("#EXTMERGEBEGIN: junk\r\n").empty());
}

// PLS lists give their File entries; relative paths are taken from the list's folder.
TEST_F(MergeListFileTest, PlsListsAndRelativePaths) {
    inspector.Add("a.mp3", 10'000);
    inspector.Add("b.mp3", 10'000);
    test::WriteFileText(dir / "list.pls",
                        "[Playlist]\r\nnumberofentries=3\r\nFile1=a.mp3\r\nTitle1=A\r\nFile2=\r\n"
                        "File3=" +
                            P("b.mp3") + "\r\nLength3=10\r\n");
    std::vector<MergeListEntry> entries;
    ASSERT_TRUE(ReadMergeListFile(P("list.pls"), "ISO-8859-1", entries).ok());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, P("a.mp3"));
    EXPECT_EQ(entries[1].path, P("b.mp3"));

    // A count of 0 (or a wrong one) still reads the entries present, never the lines as paths.
    test::WriteFileText(dir / "empty.pls", "[playlist]\nNumberOfEntries=0\nFile1=a.mp3\n");
    MergeListLoad load;
    ASSERT_TRUE(LoadMergeList(list, P("empty.pls"), inspector, defaults, &load).ok());
    EXPECT_EQ(load.added, 1u);
    EXPECT_TRUE(load.messages.empty());
}

// A list in a legacy code page is read in the configured one; an unreadable list gives 330 and
// a list that cannot be written 331.
TEST_F(MergeListFileTest, CodePageAndFailures) {
    test::WriteFileText(dir / "gbk.m3u", std::string("#EXTM3U\r\n/m/\xD2\xF4\xC0\xD6.mp3\r\n"));
    std::vector<MergeListEntry> entries;
    ASSERT_TRUE(ReadMergeListFile(P("gbk.m3u"), "GBK", entries).ok());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].path, "/m/音乐.mp3");

    Status status = ReadMergeListFile(P("missing.m3u"), "GBK", entries);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message.Text().find("missing.m3u"), std::string::npos);
    EXPECT_FALSE(LoadMergeList(list, P("missing.m3u"), inspector, defaults).ok());

    inspector.Add("a.mp3", 10'000);
    list.AddFile(P("a.mp3"), 0, inspector, defaults);
    Status save = SaveMergeList(list, P("no/such/folder/list.m3u"), {});
    EXPECT_EQ(save.code, ErrorCode::WriteFailed);
    EXPECT_EQ(save.message.Text(),
              "无法创建文件“" + P("no/such/folder/list.m3u") + "”。 原因: 文件或文件夹不存在");
}

}  // namespace
}  // namespace partita
