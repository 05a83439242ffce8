#include <filesystem>
#include <string>

#include "cli_support.h"
#include "program_session.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

class TerminalTest : public test::TempDirTest {
  protected:
    std::string P(const std::string& name) { return (dir / name).string(); }
    std::vector<std::string> Partita(std::vector<std::string> args) {
        args.insert(args.begin(),
                    {PARTITA_CLI_PATH, "--settings", P("settings.ini"), "--lang", "en"});
        return args;
    }
    // A WAV long enough that joining it through the encoder takes a few seconds.
    std::string LongWav() {
        test::WriteWav(P("long.wav"), test::SynthesizePcm({{440, 90000, 0.4}}, 44100, 2), 44100, 2);
        return P("long.wav");
    }
    bool TemporaryLeft() {
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            if (entry.path().filename().string().rfind(".partita-", 0) == 0)
                return true;
        }
        return false;
    }
};

// Ctrl+C typed at a terminal during a one-file convert merge: the bar has shown progress inside
// the file, the encoder survives the interrupt (no encoder error), the stop question comes, and
// a second Ctrl+C while it waits stops the merge: exit 2, no output, no temporary file.
TEST_F(TerminalTest, InterruptsStopAConvertMerge) {
    std::string wav = LongWav();
    test::ProgramSession run(Partita({"merge", wav, "-o", P("out.mp3")}), true);
    ASSERT_TRUE(run.WaitFor("% Merging")) << run.output;
    run.Type("\x03");
    ASSERT_TRUE(run.WaitFor("[y/n]")) << run.output;
    run.Type("\x03");
    EXPECT_EQ(run.Finish(), 2) << run.output;
    EXPECT_EQ(run.output.find("encod"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(P("out.mp3")));
    EXPECT_FALSE(TemporaryLeft());
}

// A termination or a hangup (nobody to ask) stops a merge as an interrupt does: exit 2 and the
// temporary output removed.
TEST_F(TerminalTest, TerminationAndHangupCleanUp) {
    std::string wav = LongWav();
    for (int signal : {SIGTERM, SIGHUP}) {
        test::ProgramSession run(Partita({"merge", wav, "-o", P("out.mp3")}), false);
        for (int i = 0; i < 200 && !TemporaryLeft(); ++i)
            ::usleep(20000);
        ASSERT_TRUE(TemporaryLeft()) << run.output;
        run.Signal(signal);
        EXPECT_EQ(run.Finish(), 2) << signal << run.output;
        EXPECT_FALSE(fs::exists(P("out.mp3")));
        EXPECT_FALSE(TemporaryLeft()) << signal;
    }
}

// On a narrow terminal the bar's line never passes the width, and the report's lines start on
// a line of their own instead of after the bar.
TEST_F(TerminalTest, ReportLinesClearTheBar) {
    std::string mp3 = test::MakeMp3(dir.Path(), "a-source-with-a-rather-long-name.mp3",
                                    {{440, 4000, 0.4}}, {"-b", "128"})
                          .string();
    test::ProgramSession run(
        Partita({"split", mp3, "-o", P("out"), "--at", "1,2,3", "--rule", "%F-track-%S"}), true,
        50);
    EXPECT_EQ(run.Finish(), 0) << run.output;
    int written = 0;
    std::size_t begin = 0;
    while (begin < run.output.size()) {
        std::size_t end = run.output.find('\n', begin);
        std::string line = run.output.substr(begin, end - begin);
        begin = end == std::string::npos ? run.output.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();  // the terminal's line end
        // What stays visible of the line: the text after the last carriage return.
        std::string visible =
            line.substr(line.rfind('\r') == std::string::npos ? 0 : line.rfind('\r') + 1);
        if (visible.rfind("\033[K", 0) == 0)
            visible.erase(0, 3);
        // Every drawing of the bar on the line fits the width.
        for (std::size_t at = line.find("\033[K["); at != std::string::npos;
             at = line.find("\033[K[", at + 1)) {
            std::size_t stop = line.find('\r', at);
            EXPECT_LT((stop == std::string::npos ? line.size() : stop) - at - 3, 50u) << line;
        }
        if (visible.find("written") != std::string::npos) {
            EXPECT_EQ(visible.rfind("written\t", 0), 0u) << visible;
            ++written;
        }
    }
    EXPECT_EQ(written, 4) << run.output;
}

}  // namespace
}  // namespace partita
