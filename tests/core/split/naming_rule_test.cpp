#include "split/naming_rule.h"

#include <gtest/gtest.h>

namespace partita {
namespace {

TagTemplates Track(std::string title = {}, std::string album = {}, std::string number = {}) {
    TagTemplates row;
    row.title = std::move(title);
    row.album = std::move(album);
    row.trackNumber = std::move(number);
    return row;
}

// The sequence is as wide as the source's track count, and plain below ten tracks.
TEST(NamingRuleTest, SequenceFormat) {
    EXPECT_EQ(SequenceFormat(3), "%d");
    EXPECT_EQ(SequenceFormat(9), "%d");
    EXPECT_EQ(SequenceFormat(12), "%02d");
    EXPECT_EQ(SequenceFormat(150), "%03d");
    EXPECT_EQ(FormatSequence("%03d", 1), "001");
    EXPECT_EQ(FormatSequence("%d", 12), "12");
}

// %F-%S names by source and sequence; a rule without placeholders gets the sequence appended.
TEST(NamingRuleTest, NamesFromRule) {
    TagTemplates row = Track();
    EXPECT_EQ(ExpandName(row, "%F-%S", "/d/m/live.mp3", 0, false, "%02d"), "live-01.mp3");
    EXPECT_EQ(ExpandName(row, "%F_Song%S", "/d/m/live.mp3", 2, false, SequenceFormat(3)),
              "live_Song3.mp3");
    EXPECT_EQ(ExpandName(row, "%F_Song%S", "/d/m/live.mp3", 0, false, SequenceFormat(100)),
              "live_Song001.mp3");
    EXPECT_EQ(ExpandName(row, "Track", "/d/m/live.mp3", 1, false), "Track2.mp3");
    EXPECT_EQ(ExpandName(row, "  %F  ", "D:\\m\\a.b.wav", -1, false), "a.b.wav");
}

// The tag columns expand their own placeholders: %S three digits, %K the track number column
// (itself "0" there), %M the album column (removed in album and track number).
TEST(NamingRuleTest, ExpandFields) {
    TagTemplates row = Track("[音轨 %S]", "Best of %M", "%S");
    EXPECT_EQ(ExpandField(row, 0, kColTitle), "[音轨 001]");
    EXPECT_EQ(ExpandField(row, 0, kColAlbum), "Best of ");
    row.title = "%K - %M";
    EXPECT_EQ(ExpandField(row, 4, kColTitle), "005 - Best of ");
    row.trackNumber = "%K%M";
    EXPECT_EQ(ExpandField(row, 4, kColTrackNumber), "0");
    EXPECT_EQ(ExpandName(row, "%T", "/m/x.mp3", 0, false), "0 - Best of.mp3");
}

// Title placeholders go into names with the characters a name cannot hold replaced.
TEST(NamingRuleTest, ForbiddenCharactersBecomeUnderscores) {
    TagTemplates row = Track("What? A: b/c\\d*e\"f<g>h|i");
    EXPECT_EQ(ExpandName(row, "%T", "/m/x.mp3", 0, false), "What_ A_ b_c_d_e_f_g_h_i.mp3");
    // A colon stays in a folder part.
    EXPECT_EQ(ExpandName(row, "Live: 1999\\", "/m/x.mp3", -1, true), "Live: 1999/");
}

// A folder part keeps the rule's levels; a tag never adds levels nor climbs out of the base.
TEST(NamingRuleTest, FolderPartStaysBelowBase) {
    TagTemplates row = Track("..", "../../etc", "/abs");
    EXPECT_EQ(ExpandName(row, "%T\\", "/m/x.mp3", -1, true), "_/");
    EXPECT_EQ(ExpandName(row, "%M/%T/", "/m/x.mp3", -1, true), ".._.._etc/_/");
    EXPECT_EQ(ExpandName(row, "%K\\", "/m/x.mp3", -1, true), "_abs/");
    EXPECT_EQ(ExpandName(row, "/%F/../", "/m/x.mp3", -1, true), "x/_/");
    EXPECT_EQ(ExpandName(Track(), "%T\\", "/m/x.mp3", -1, true), "");
    // "%S" has no value in a folder part.
    EXPECT_EQ(ExpandName(Track(), "%F%S\\", "/m/x.mp3", -1, true), "x/");
}

// A rule splits at its last separator, either kind.
TEST(NamingRuleTest, SplitRuleAndCombinePath) {
    RuleParts parts = SplitRule("%G\\%F-%S");
    EXPECT_EQ(parts.folderPart, "%G\\");
    EXPECT_EQ(parts.namePart, "%F-%S");
    parts = SplitRule("a/b\\c/%F");
    EXPECT_EQ(parts.folderPart, "a/b\\c/");
    EXPECT_EQ(parts.namePart, "%F");
    EXPECT_EQ(SplitRule("%F").folderPart, "");
    EXPECT_EQ(CombinePath("", "a.mp3"), "a.mp3");
    EXPECT_EQ(CombinePath("/out/", "a.mp3"), "/out/a.mp3");
    EXPECT_EQ(CombinePath("/out", "a.mp3"), "/out/a.mp3");
    EXPECT_EQ(CombinePath("E:\\out\\", "a.mp3"), "E:\\out\\a.mp3");
}

}  // namespace
}  // namespace partita
