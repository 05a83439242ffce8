#include "merge_cli_host.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

namespace partita::cli {
namespace {

// No question waits: a source that cannot be read aborts, an existing output is kept unless
// --overwrite, a stop needs no confirmation, the mixed-parameters warning goes ahead.
TEST(MergeCliHostTest, AnswersFromOptions) {
    std::ostringstream err;
    MergeCliHost host(err, {});
    EXPECT_EQ(host.AskFailure(125, "cannot load \"a.mp3\""), FailureAnswer::Abort);
    EXPECT_TRUE(host.SourceFailed());
    EXPECT_EQ(host.AskOverwrite("/o.mp3").answer, OverwriteAnswer::Skip);
    EXPECT_TRUE(host.OutputKept());
    EXPECT_TRUE(host.AskYesNo(295, "stop?"));
    EXPECT_TRUE(host.ShowInfoWithToggle(231, "differ\r\n\r\nOK?", "Merge Diff Params Dlg", true));
    EXPECT_EQ(err.str(),
              "error: cannot load \"a.mp3\"\nerror: /o.mp3: exists, kept (--overwrite replaces "
              "it)\nwarning: differ\n\nOK?\n");
    MergeCliHost overwriting(err, {true, false, false});
    EXPECT_EQ(overwriting.AskOverwrite("/o.mp3").answer, OverwriteAnswer::Yes);
}

// An interrupt becomes one stop request; the handler before the host is back afterwards.
TEST(MergeCliHostTest, InterruptIsTheStopRequest) {
    auto previous = std::signal(SIGINT, SIG_IGN);
    {
        std::ostringstream err;
        MergeCliHost host(err, {});
        EXPECT_FALSE(host.TakeStopRequest());
        std::raise(SIGINT);
        EXPECT_TRUE(host.TakeStopRequest());
        EXPECT_FALSE(host.TakeStopRequest());
    }
    EXPECT_EQ(std::signal(SIGINT, previous), SIG_IGN);
}

// The bar shows on a terminal only, is cleared before a message, and quiet hides it and the
// information messages.
TEST(MergeCliHostTest, ProgressBar) {
    std::ostringstream err;
    MergeCliHost host(err, {false, true, false});
    host.SetProgress(1, 4);
    host.SetStatus("Merging # 02/04");
    EXPECT_NE(err.str().find("[#######.......................] 1/4 Merging # 02/04"),
              std::string::npos);
    host.ShowMessage(0, "note", MessageKind::Information);
    EXPECT_NE(err.str().find("\r\033[Knote\n"), std::string::npos);
    std::ostringstream quietErr;
    MergeCliHost quiet(quietErr, {false, true, true});
    quiet.SetProgress(1, 4);
    quiet.ShowMessage(0, "note", MessageKind::Information);
    quiet.ShowMessage(0, "bad", MessageKind::Error);
    EXPECT_EQ(quietErr.str(), "error: bad\n");
}

}  // namespace
}  // namespace partita::cli
