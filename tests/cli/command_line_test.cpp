#include <filesystem>

#include "cli_support.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

class CommandLineTest : public test::TempDirTest {
  protected:
    std::string ini = (dir / "settings.ini").string();
    std::string P(const std::string& name) { return (dir / name).string(); }
    test::CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", ini, "--lang", "en"});
        return test::RunCli(args);
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Every command's help lists the options all commands take and the settings a user may need;
// "help COMMAND" is "COMMAND --help"; --version names the version.
TEST_F(CommandLineTest, HelpIsAlikeForEveryCommand) {
    for (const char* command : {"info", "split", "merge", "cue", "verify"}) {
        auto help = test::RunCli({command, "--help"});
        EXPECT_EQ(help.code, 0);
        for (const char* common : {"--settings FILE", "--set SECTION/NAME=VALUE", "--lang",
                                   "-h,--help", "Legacy Code Page"})
            EXPECT_TRUE(Has(help.output, common)) << command << ": " << common;
        EXPECT_EQ(test::RunCli({"help", command}).output, help.output) << command;
    }
    // The commands that write files take the same output options.
    for (const char* command : {"split", "merge", "cue"}) {
        auto help = test::RunCli({command, "--help"}).output;
        for (const char* option : {"-o,--output", "--overwrite", "-q,--quiet"})
            EXPECT_TRUE(Has(help, option)) << command << ": " << option;
    }
    EXPECT_TRUE(Has(test::RunCli({"--help"}).output, "Legacy Code Page"));
    EXPECT_EQ(test::RunCli({"help"}).output, test::RunCli({"--help"}).output);
    auto version = test::RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(Has(version.output, "partita (Partita Studio) ")) << version.output;
}

// The merge options are checked as the other commands' are: -q is taken, an output named as
// another audio format is refused, and a range that lies outside a file is refused with a
// message whether the command line or a merge list gives it.
TEST_F(CommandLineTest, MergeRefusesWhatItCannotDo) {
    std::string mp3 =
        test::MakeMp3(dir.Path(), "a.mp3", {{440, 3000, 0.4}}, {"-b", "128"}).string();
    auto r = Run({"merge", mp3, "-o", P("out.wav")});
    EXPECT_EQ(r.code, 64);
    EXPECT_TRUE(Has(r.output, ".mp3")) << r.output;
    EXPECT_FALSE(fs::exists(P("out.wav")));

    r = Run({"merge", mp3, "-o", P("out.mp3"), "--start", "5"});
    EXPECT_EQ(r.code, 64);
    EXPECT_TRUE(Has(r.output, mp3 + ": the range 0:00:05 - 0:00:03 does not lie within the file"))
        << r.output;
    test::WriteFileText(P("list.m3u"),
                        "#EXTM3U\n#EXTMERGEBEGIN: 0:00:02\n#EXTMERGEEND: 0:00:01\na.mp3\n");
    r = Run({"merge", "--list", P("list.m3u"), "-o", P("out.mp3")});
    EXPECT_EQ(r.code, 64);
    EXPECT_TRUE(Has(r.output, "does not lie within the file")) << r.output;
    EXPECT_FALSE(fs::exists(P("out.mp3")));

    r = Run({"merge", mp3, "-o", P("out.mp3"), "-q"});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(r.output, "");
}

}  // namespace
}  // namespace partita
