#include <gtest/gtest.h>

#include "split/naming_rule.h"

namespace partita {
namespace {

// Names from tags are names a file system takes: control characters and leading dots become
// "_", and a title too long for one name is shortened before the extension on a character
// boundary.
TEST(NamingRuleNamesTest, TagsMakeValidNames) {
    TagTemplates row;
    row.title = std::string("a\0b\nc", 5);
    EXPECT_EQ(ExpandName(row, "%T", "/m/x.mp3", 0, false), "a_b_c.mp3");
    row.title = "..";
    EXPECT_EQ(ExpandName(row, "%T", "/m/x.mp3", 0, false), "__.mp3");

    row.title.clear();
    for (int i = 0; i < 75; ++i)
        row.title += "音乐";  // 450 bytes
    std::string name = ExpandName(row, "%T", "/m/x.mp3", 0, false);
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.substr(name.size() - 4), ".mp3");
    EXPECT_EQ((name.size() - 4) % 3, 0u);  // whole characters only
    EXPECT_LE(ExpandName(row, "%T/", "/m/x.mp3", 0, true).size(), 256u);
}

}  // namespace
}  // namespace partita
