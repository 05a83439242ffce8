#include <sys/stat.h>

#include <chrono>

#include "fake_inspector.h"
#include "join/merge_list_file.h"
#include "support/test_support.h"

namespace partita {
namespace {

class MergeListFileInputTest : public test::TempDirTest {
  protected:
    MergeListDefaults defaults;
    test::FakeInspector inspector;
    MergeList list;

    std::string P(const std::string& name) { return (dir / name).string(); }
};

// Saving a list never loses a file: not over one of its own sources, an existing file only
// when the user says yes, and nothing at all for an empty list.
TEST_F(MergeListFileInputTest, SavingAsksAndRefusesSources) {
    test::WriteFileText(dir / "old.m3u", "old");
    EXPECT_EQ(SaveMergeList(list, P("old.m3u"), {}).message.Id(), Msg::ListEmpty);

    inspector.Add("keep.mp3", 10'000);
    test::WriteFileText(dir / "keep.mp3", "audio");
    ASSERT_TRUE(list.AddFile(P("keep.mp3"), 0, inspector, defaults).added);
    auto yes = [](const UserMessage&) { return true; };
    EXPECT_EQ(SaveMergeList(list, (dir / "." / "keep.mp3").string(), yes).message.Id(),
              Msg::OutputIsSource);
    EXPECT_EQ(test::ReadFileBytes(dir / "keep.mp3").size(), 5u);

    int asked = 0;
    Status kept = SaveMergeList(list, P("old.m3u"), [&](const UserMessage& question) {
        ++asked;
        EXPECT_EQ(question.Id(), Msg::ConfirmReplaceFile);
        return false;
    });
    EXPECT_EQ(kept.code, ErrorCode::Stopped);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(test::ReadFileBytes(dir / "old.m3u").size(), 3u);
    ASSERT_TRUE(SaveMergeList(list, P("old.m3u"), yes).ok());
    EXPECT_GT(test::ReadFileBytes(dir / "old.m3u").size(), 3u);
}

// Damaged counts and values cost no time: a PLS count far above its entries, a negative one,
// a silence of years (cut to the longest, with a message); a named pipe is refused unread.
TEST_F(MergeListFileInputTest, DamagedListsAreBounded) {
    auto started = std::chrono::steady_clock::now();
    std::vector<MergeListEntry> entries;
    for (const char* count : {"2000000000", "-1"}) {
        test::WriteFileText(dir / "big.pls", std::string("[playlist]\nNumberOfEntries=") + count +
                                                 "\nFile1=/m/a.mp3\nFile2=/m/b.mp3\n");
        ASSERT_TRUE(ReadMergeListFile(P("big.pls"), "GBK", entries).ok());
        EXPECT_EQ(entries.size(), 2u) << count;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

    inspector.Add("a.mp3", 10'000);
    test::WriteFileText(dir / "long.m3u", "#EXTSILENCE: 1000000000\n" + P("a.mp3") + "\n");
    MergeListLoad load;
    ASSERT_TRUE(LoadMergeList(list, P("long.m3u"), inspector, defaults, &load).ok());
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Row(0).silenceSeconds, kMaxSilenceSeconds);
    ASSERT_EQ(load.messages.size(), 1u);
    EXPECT_EQ(load.messages[0].message->Id(), Msg::ListSilenceTooLong);

    ASSERT_EQ(::mkfifo(P("pipe.m3u").c_str(), 0600), 0);
    EXPECT_EQ(ReadMergeListFile(P("pipe.m3u"), "GBK", entries).message.Id(),
              Msg::CannotOpenListFile);
}

// Lists written on Windows: "\" between folders, drive paths found by name beside the list,
// UTF-16 text.
TEST_F(MergeListFileInputTest, WindowsListsAreRead) {
    std::string text = "#EXTM3U\r\nsub\\a.mp3\r\nC:\\Music\\b.mp3\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : text)
        utf16 += std::string{c, '\0'};
    test::WriteFileText(dir / "b.mp3", "b");
    test::WriteFileText(dir / "list.m3u", utf16);
    std::vector<MergeListEntry> entries;
    ASSERT_TRUE(ReadMergeListFile(P("list.m3u"), "GBK", entries).ok());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].path, P("sub/a.mp3"));
    EXPECT_EQ(entries[1].path, P("b.mp3"));
}

}  // namespace
}  // namespace partita
