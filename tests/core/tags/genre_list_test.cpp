#include <gtest/gtest.h>

#include "tags/genre_list.h"

namespace partita {
namespace {

// Names map to numbers whatever their case; numbers outside the list have no name.
TEST(GenreList, MapsNamesAndNumbers) {
    EXPECT_EQ(GenreIndex("rock"), 17);
    EXPECT_EQ(GenreIndex("ROCK"), 17);
    EXPECT_EQ(GenreIndex("Rock & Roll"), 78);
    EXPECT_EQ(GenreIndex("Blues"), 0);
    EXPECT_EQ(GenreIndex("SynthPop"), 147);
    EXPECT_EQ(GenreIndex("No Such Genre"), 255);
    EXPECT_EQ(GenreIndex(""), 255);
    EXPECT_EQ(GenreName(17), "Rock");
    EXPECT_EQ(GenreName(147), "SynthPop");
    EXPECT_EQ(GenreName(148), "");
    EXPECT_EQ(GenreName(-1), "");
    for (int i = 0; i < kGenreCount; ++i)
        EXPECT_EQ(GenreIndex(GenreName(i)), i) << i;
}

}  // namespace
}  // namespace partita
