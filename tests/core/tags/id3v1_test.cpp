#include "tags/id3v1.h"

#include <cstring>

#include "support/test_support.h"

namespace partita {
namespace {

using Id3v1Test = test::TempDirTest;
namespace fs = std::filesystem;

Id3v1Bytes RawTag() {
    Id3v1Bytes raw{};
    std::memcpy(raw.data(), "TAG", 3);
    std::memcpy(raw.data() + 3, "Title  \t ", 9);
    std::memcpy(raw.data() + 33, "Artist", 6);
    std::memcpy(raw.data() + 63, "Album of exactly thirty bytes!", 30);
    std::memcpy(raw.data() + 93, "1999", 4);
    std::memcpy(raw.data() + 97, "Comment of twenty-eight byte", 28);
    raw[127] = 17;
    return raw;
}

// A zero at byte 125 makes byte 126 the track and shortens the comment to 28 bytes; otherwise
// the comment has all 30 bytes and there is no track. Trailing white space goes.
TEST(Id3v1, ParsesBothVersions) {
    Id3v1Bytes raw = RawTag();
    raw[126] = 7;
    Id3v1Fields v11 = ParseId3v1(raw, "ISO-8859-1");
    EXPECT_EQ(v11.title, "Title");
    EXPECT_EQ(v11.artist, "Artist");
    EXPECT_EQ(v11.album, "Album of exactly thirty bytes!");
    EXPECT_EQ(v11.year, "1999");
    EXPECT_EQ(v11.comment, "Comment of twenty-eight byte");
    EXPECT_EQ(v11.track, 7);
    EXPECT_EQ(v11.genre, 17);

    raw[125] = 's';
    raw[126] = '!';
    Id3v1Fields v10 = ParseId3v1(raw, "ISO-8859-1");
    EXPECT_EQ(v10.comment, "Comment of twenty-eight bytes!");
    EXPECT_EQ(v10.track, 0);
    EXPECT_EQ(v10.genre, 17);
}

// Texts are bytes of the legacy code page: Latin-1 bytes and GBK bytes read as such.
TEST(Id3v1, ReadsLegacyCodePages) {
    Id3v1Bytes raw{};
    std::memcpy(raw.data(), "TAG", 3);
    std::memcpy(raw.data() + 3, "Caf\xE9", 4);
    EXPECT_EQ(ParseId3v1(raw, "ISO-8859-1").title, "Café");
    std::memcpy(raw.data() + 3, "\xD6\xD0\xCE\xC4", 4);  // 中文 in GBK
    EXPECT_EQ(ParseId3v1(raw, "GBK").title, "中文");
}

// Built tags clamp the track, store unknown genres as 255 and keep the comment's 30 bytes
// when there is no track.
TEST(Id3v1, BuildsTags) {
    Id3v1Bytes tag{};
    MakeId3v1(tag, "T", "A", "B", "2024", std::string(40, 'c'), 300, 1000, "ISO-8859-1");
    EXPECT_TRUE(IsId3v1(tag));
    EXPECT_EQ(tag[125], 0);
    EXPECT_EQ(tag[126], 255);
    EXPECT_EQ(tag[127], 255);
    EXPECT_EQ(ParseId3v1(tag, "ISO-8859-1").comment, std::string(28, 'c'));

    MakeId3v1(tag, "T", "A", "B", "20245", std::string(40, 'c'), 0, 17, "ISO-8859-1");
    EXPECT_EQ(tag[126], 'c');
    EXPECT_EQ(tag[127], 17);
    Id3v1Fields read = ParseId3v1(tag, "ISO-8859-1");
    EXPECT_EQ(read.comment, std::string(30, 'c'));
    EXPECT_EQ(read.year, "2024");
    EXPECT_EQ(read.track, 0);

    MakeId3v1(tag, "", "", "", "", "", 0, 255, "ISO-8859-1");
    EXPECT_EQ(tag[127], 255);
}

// Characters the code page lacks become "?", and a text cut to its field never ends in half a
// character: "a" and 16 Chinese characters (33 GBK bytes) keep "a" and 14 in a 30-byte field.
TEST(Id3v1, WritesCodePageTextsWholeCharacters) {
    std::string chinese;
    for (int i = 0; i < 16; ++i)
        chinese += "中";
    TagInfo tags;
    tags.title = "a" + chinese;
    tags.artist = "Zoë 中";
    tags.track = " 03/12";
    tags.genre = "rock";
    Id3v1Bytes gbk = MakeId3v1(tags, "GBK");
    Id3v1Fields read = ParseId3v1(gbk, "GBK");
    EXPECT_EQ(read.title, "a" + chinese.substr(0, 14 * 3));
    EXPECT_EQ(gbk[3 + 29], 0);  // the 30th byte stays free: no half character
    EXPECT_EQ(read.track, 3);
    EXPECT_EQ(read.genre, 17);
    Id3v1Bytes latin = MakeId3v1(tags, "ISO-8859-1");
    EXPECT_EQ(ParseId3v1(latin, "ISO-8859-1").artist, "Zoë ?");
    EXPECT_EQ(ParseId3v1(latin, "ISO-8859-1").title, std::string(17, '?').replace(0, 1, "a"));
}

TEST(Id3v1, TrackNumbers) {
    EXPECT_EQ(TrackNumber("7"), 7);
    EXPECT_EQ(TrackNumber("03/12"), 3);
    EXPECT_EQ(TrackNumber("x3"), 0);
    EXPECT_EQ(TrackNumber(""), 0);
    EXPECT_EQ(TrackNumber("99999999999999999999"), 1'000'000);
}

// A file without a tag grows by 128 bytes; a file with one keeps its length and gets the new
// texts; a missing file is an error and is not created.
TEST_F(Id3v1Test, WritesFileTags) {
    fs::path file = dir / "a.mp3";
    test::WriteFileBytes(file, std::vector<std::uint8_t>(1000, 0x55));
    TagInfo tags;
    tags.title = "First";
    ASSERT_TRUE(WriteId3v1(file, tags, "ISO-8859-1"));
    auto bytes = test::ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 1128u);
    EXPECT_EQ(bytes[999], 0x55);
    tags.title = "Second";
    ASSERT_TRUE(WriteId3v1(file, tags, "ISO-8859-1"));
    bytes = test::ReadFileBytes(file);
    ASSERT_EQ(bytes.size(), 1128u);
    Id3v1Bytes tail{};
    std::memcpy(tail.data(), bytes.data() + 1000, 128);
    EXPECT_EQ(ParseId3v1(tail, "ISO-8859-1").title, "Second");

    EXPECT_FALSE(WriteId3v1(dir / "missing.mp3", tags, "ISO-8859-1"));
    EXPECT_FALSE(fs::exists(dir / "missing.mp3"));
}

}  // namespace
}  // namespace partita
