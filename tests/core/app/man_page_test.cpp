#include <gtest/gtest.h>

#include "app/man_page.h"

namespace partita {
namespace {

// Text reaches the page literally: options keep minus signs, a backslash is not taken for an
// escape, a line that starts with a dot is not taken for a request, and a quote inside a
// heading does not end it.
TEST(ManPage, TextStaysLiteral) {
    ManPage page;
    page.name = "partita";
    page.summary = "cut-and-join";
    page.source = "Partita Studio 1.0";
    page.synopsis = {"partita [--flag] FILE"};
    ManSection options("Options", {"Rule %G\\%F-%S.\n.start of a line"});
    options.items.push_back({{"-o", "--output"}, "DIR", "Folder"});
    options.subsections.emplace_back("say \"hi\"");
    page.sections = {options};

    std::string roff = WriteManPage(page);
    EXPECT_NE(roff.find(".TH \"PARTITA\" 1 \"\" \"Partita Studio 1.0\""), std::string::npos);
    EXPECT_NE(roff.find("partita \\- cut\\-and\\-join\n"), std::string::npos);
    EXPECT_NE(roff.find("\\fBpartita\\fR [\\-\\-flag] FILE\n"), std::string::npos);
    EXPECT_NE(roff.find(".SH \"OPTIONS\"\nRule %G\\e%F\\-%S.\n\\&.start of a line\n"),
              std::string::npos);
    EXPECT_NE(roff.find(".TP\n\\fB\\-o\\fR, \\fB\\-\\-output\\fR \\fIDIR\\fR\nFolder\n"),
              std::string::npos);
    EXPECT_NE(roff.find(".SS \"say \\(dqhi\\(dq\"\n"), std::string::npos);
}

}  // namespace
}  // namespace partita
