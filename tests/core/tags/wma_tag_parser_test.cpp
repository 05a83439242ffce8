#include "tags/wma_tag_parser.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace partita {
namespace {

// A tag list as it arrives: zero-terminated strings, then an empty string.
std::string List(std::initializer_list<std::string> entries) {
    std::string list;
    for (const std::string& entry : entries) {
        list += entry;
        list += '\0';
    }
    list += '\0';
    return list;
}

// Title, author, bitrate in bit/s and the VBR flag are recognised; every other text stays empty.
TEST(WmaTagParserTest, KnownNamesFillTheirFields) {
    TagTexts texts;
    texts.album = "left over";
    int bitrate = -1;
    bool vbr = true;
    ParseWmaTags(List({"TITLE=Song", "Author=Band", "BITRATE=128000", "ISVBR=0"}), texts, bitrate,
                 vbr);
    EXPECT_EQ(texts.title, "Song");
    EXPECT_EQ(texts.artist, "Band");
    EXPECT_EQ(bitrate, 128);
    EXPECT_FALSE(vbr);
    EXPECT_TRUE(texts.album.empty());
    EXPECT_TRUE(texts.year.empty() && texts.comment.empty() && texts.track.empty() &&
                texts.genre.empty());

    ParseWmaTags(List({"wm/albumtitle=Album", "WM/TrackNumber=7", "WM/Genre=Rock",
                       "Description=a=b", "WM/Composer=Nobody", "IsVBR=1", "BITRATE=95999"}),
                 texts, bitrate, vbr);
    EXPECT_EQ(texts.album, "Album");
    EXPECT_EQ(texts.track, "7");
    EXPECT_EQ(texts.genre, "Rock");
    EXPECT_EQ(texts.comment, "a=b");  // the value is everything after the first "="
    EXPECT_TRUE(texts.title.empty());
    EXPECT_TRUE(vbr);
    EXPECT_EQ(bitrate, 95);  // truncated
}

// Names and values are trimmed of blanks.
TEST(WmaTagParserTest, BlanksAroundNamesAndValuesAreTrimmed) {
    TagTexts texts;
    int bitrate = 0;
    bool vbr = false;
    ParseWmaTags(List({" WM/Year = 1999 ", "\tTITLE\t=  中文标题 "}), texts, bitrate, vbr);
    EXPECT_EQ(texts.year, "1999");
    EXPECT_EQ(texts.title, "中文标题");
}

// Parsing stops at the first string without "=" and at the empty string; the bitrate and the
// VBR flag keep their values unless named.
TEST(WmaTagParserTest, ListEndsAtAStringWithoutEqualsOrAnEmptyString) {
    TagTexts texts;
    int bitrate = 64;
    bool vbr = true;
    ParseWmaTags(List({"TITLE=One", "garbage", "AUTHOR=Two"}), texts, bitrate, vbr);
    EXPECT_EQ(texts.title, "One");
    EXPECT_TRUE(texts.artist.empty());
    EXPECT_EQ(bitrate, 64);
    EXPECT_TRUE(vbr);

    ParseWmaTags(std::string("TITLE=A\0\0AUTHOR=B\0", 19), texts, bitrate, vbr);
    EXPECT_EQ(texts.title, "A");
    EXPECT_TRUE(texts.artist.empty());

    // The last string may lack its terminator; an empty list changes nothing but the texts.
    ParseWmaTags("TITLE=End", texts, bitrate, vbr);
    EXPECT_EQ(texts.title, "End");
    ParseWmaTags("", texts, bitrate, vbr);
    EXPECT_TRUE(texts.Empty());
    ParseWmaTags(List({"BITRATE=fast", "ISVBR= 0 "}), texts, bitrate, vbr);
    EXPECT_EQ(bitrate, 0);
    EXPECT_FALSE(vbr);
}

}  // namespace
}  // namespace partita
