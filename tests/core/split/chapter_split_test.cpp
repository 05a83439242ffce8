#include <gtest/gtest.h>

#include "split/chapter_split.h"
#include "split/source_probe.h"
#include "support/scripted_host.h"
#include "support/test_support.h"
#include "tags/chapter_frames.h"
#include "tags/id3v2.h"

namespace partita {
namespace {

using ChapterSplitTest = test::TempDirTest;

// The command on a group row and a track row of the same source splits that source once
// (reporting its bad chapter once) and names the source without chapters; the chapters' titles
// and artists replace the copies of the source's, and the tracks after the last chapter are
// unchecked and untitled.
TEST_F(ChapterSplitTest, SplitsEachSelectedSourceOnce) {
    auto book = test::MakeMp3(dir.Path(), "book.mp3", {{440, 3000}}, {"-b", "128"});
    auto plain = test::MakeMp3(dir.Path(), "plain.mp3", {{440, 1000}}, {"-b", "128"});
    TagInfo tags;
    tags.title = "Book";
    tags.artist = "Author";
    ASSERT_TRUE(WriteId3v2(book, tags,
                           MakeChapterFrames(std::vector<Chapter>{{"", "A", "Reader", 0, 1000},
                                                                  {"", "B", "", 1000, 2000},
                                                                  {"", "Late", "", 1500, 1800}})));
    SplitList list;
    FileSourceProbe probe;
    test::ScriptedHost host;
    SourceLoadDefaults defaults;
    defaults.autoSequenceTitle = false;
    RowId first = LoadSource(list, defaults, host, probe, book.string());
    RowId second = LoadSource(list, defaults, host, probe, plain.string());
    ASSERT_NE(first, kNoRow);
    ASSERT_NE(second, kNoRow);
    list.InsertSplitPoint(first, 500);

    EXPECT_EQ(SplitRowsAtChapters(list, {list.Children(first)[1], list.Parent(first)}, host), 1);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].id, Msg::ChapterOverlapsPrevious);
    EXPECT_NE(host.messages[0].text.find("3"), std::string::npos);
    EXPECT_NE(host.messages[0].text.find("Late"), std::string::npos);
    EXPECT_EQ(host.messages[1].id, Msg::NoChaptersToSplitAt);
    EXPECT_EQ(list.TrackCount(second), 1);

    ASSERT_EQ(list.TrackCount(first), 3);
    const auto& tracks = list.Children(first);
    EXPECT_EQ(list.Row(tracks[0]).tags.title, "A");
    EXPECT_EQ(list.Row(tracks[0]).tags.artist, "Reader");
    EXPECT_EQ(list.Row(tracks[1]).tags.title, "B");
    EXPECT_EQ(list.Row(tracks[1]).tags.artist, "Author");
    EXPECT_EQ(list.GetTrackTimes(tracks[1], false).start, 1000u);
    EXPECT_EQ(list.GetTrackTimes(tracks[2], false).start, 2000u);
    EXPECT_FALSE(list.Row(tracks[2]).checked);
    EXPECT_EQ(list.Row(tracks[2]).tags.title, "");
    EXPECT_TRUE(list.Row(tracks[1]).checked);
}

}  // namespace
}  // namespace partita
