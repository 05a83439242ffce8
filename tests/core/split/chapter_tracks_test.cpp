#include "split/chapter_tracks.h"

#include <gtest/gtest.h>

namespace partita {
namespace {

// One checked track per chapter and unchecked, untitled tracks for the audio outside every
// chapter, together covering the source; gaps too short to cut belong to the chapter before.
TEST(ChapterTracks, CoverTheSourceLikeSheetTracks) {
    ChapterList list;
    list.chapters = {
        {"a", "A", "Reader", 20, 1000}, {"b", "B", "", 1030, 2000}, {"c", "", "", 3000, 4000}};
    list.skipped = {{{"x", "X", "", 100, 50}, ChapterProblem::EndNotAfterStart}};
    ChapterTracks out = TracksFromChapters(list, 6000);
    EXPECT_EQ(out.tracks, (std::vector<ChapterTrack>{{0, 1030, "A", "Reader", true},
                                                     {1030, 2000, "B", "", true},
                                                     {2000, 3000, "", "", false},
                                                     {3000, 4000, "", "", true},
                                                     {4000, 6000, "", "", false}}));
    ASSERT_EQ(out.skipped.size(), 1u);
    EXPECT_EQ(out.skipped[0].chapter.id, "x");

    list.chapters = {{"a", "A", "", 500, 5990}};
    EXPECT_EQ(TracksFromChapters(list, 6000).tracks,
              (std::vector<ChapterTrack>{{0, 500, "", "", false}, {500, 6000, "A", "", true}}));
    EXPECT_TRUE(TracksFromChapters(ChapterList{}, 6000).tracks.empty());
}

}  // namespace
}  // namespace partita
