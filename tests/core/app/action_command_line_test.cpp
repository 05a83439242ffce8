#include <gtest/gtest.h>

#include "app/action_command_line.h"

namespace partita {
namespace {

// The action and path are read between and after the markers, trimmed, quotes kept.
TEST(ActionCommandLine, ReadsActionAndPath) {
    auto c = ParseActionCommandLine("-o x -a  SPLIT  -s  \"/music/a b.cue\"  ");
    EXPECT_EQ(c.action, CommandAction::Split);
    EXPECT_EQ(c.source, "\"/music/a b.cue\"");
    c = ParseActionCommandLine("-a MERGE -s /m/a.mp3");
    EXPECT_EQ(c.action, CommandAction::Merge);
    EXPECT_EQ(c.source, "/m/a.mp3");
}

// Case matters, and malformed lines are ignored entirely.
TEST(ActionCommandLine, IgnoresOtherForms) {
    auto c = ParseActionCommandLine("-a split -s /m/a.mp3");
    EXPECT_EQ(c.action, CommandAction::None);
    EXPECT_EQ(c.source, "/m/a.mp3");
    c = ParseActionCommandLine("-s /m/a.mp3 -a SPLIT");
    EXPECT_EQ(c.action, CommandAction::None);
    EXPECT_EQ(c.source, "");
    c = ParseActionCommandLine("-a SPLIT");
    EXPECT_EQ(c.action, CommandAction::None);
    EXPECT_EQ(ParseActionCommandLine("").source, "");
    c = ParseActionCommandLine("-a SPLIT -s ");
    EXPECT_EQ(c.action, CommandAction::Split);
    EXPECT_EQ(c.source, "");
}

}  // namespace
}  // namespace partita
