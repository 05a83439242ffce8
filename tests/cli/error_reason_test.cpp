#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

// Every file error names its file and says what the system said, not a guess.
class ErrorReasonTest : public test::TempDirTest {
  protected:
    std::string ini = (dir / "settings.ini").string();
    std::string P(const std::string& name) { return (dir / name).string(); }
    std::string Mp3() {
        if (!fs::exists(P("a.mp3")))
            test::MakeMp3(dir.Path(), "a.mp3", {{440, 3000, 0.4}}, {"-b", "128"});
        return P("a.mp3");
    }
    test::CliResult Run(std::vector<std::string> args, const std::string& lang = "en") {
        args.insert(args.begin(), {"--settings", ini, "--lang", lang});
        return test::RunCli(args);
    }
    // Runs with the size of every file written limited to `kilobytes`.
    test::CliResult RunLimited(int kilobytes, std::vector<std::string> args) {
        std::vector<std::string> argv{"bash",
                                      "-c",
                                      "ulimit -f " + std::to_string(kilobytes) + " && exec \"$@\"",
                                      "partita",
                                      PARTITA_CLI_PATH,
                                      "--settings",
                                      ini,
                                      "--lang",
                                      "en"};
        argv.insert(argv.end(), args.begin(), args.end());
        test::CliResult result;
        result.code = test::RunProgram(argv, &result.output);
        return result;
    }
    // Permissions do not bind the superuser: as root the program runs as "nobody", when that
    // user may reach the program and the test's folder.
    static constexpr int kCannotDropPrivileges = 200;
    test::CliResult RunUnprivileged(const std::vector<std::string>& args) {
        if (::geteuid() != 0)
            return Run(args);
        ::chmod(dir.Path().c_str(), 0755);
        std::vector<std::string> argv{"setpriv", "--reuid=nobody", "--regid=nogroup",
                                      "--clear-groups", PARTITA_CLI_PATH};
        test::CliResult result;
        std::vector<std::string> probe = argv;
        probe.push_back("--version");
        if (test::RunProgram(probe) != 0) {
            result.code = kCannotDropPrivileges;
            return result;
        }
        argv.insert(argv.end(), {"--settings", ini, "--lang", "en"});
        argv.insert(argv.end(), args.begin(), args.end());
        result.code = test::RunProgram(argv, &result.output);
        return result;
    }
    bool TemporaryLeft(const fs::path& folder) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().filename().string().rfind(".partita-", 0) == 0)
                return true;
        }
        return false;
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// An output that cannot be created says why, with its path: a missing folder, a name too long,
// a folder without leave to write (in both languages); a missing source says it is missing.
TEST_F(ErrorReasonTest, CreateAndOpenFailuresSayWhy) {
    std::string mp3 = Mp3();
    std::string missing = P("no-such-folder/out.mp3");
    auto r = Run({"merge", mp3, "-o", missing});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(
        Has(r.output, "Failed to create the file " + missing + "! Reason: no such file or folder"))
        << r.output;

    r = Run({"merge", mp3, "-o", missing}, "zh_CN");
    EXPECT_TRUE(Has(r.output, "未能创建文件 " + missing + "! 原因: 文件或文件夹不存在"))
        << r.output;

    std::string longName = P(std::string(300, 'x') + ".mp3");
    r = Run({"merge", mp3, "-o", longName});
    EXPECT_TRUE(Has(r.output, longName + "! Reason: the name is too long")) << r.output;

    test::WriteFileBytes(P("taken"), {'x'});
    r = Run({"split", mp3, "-o", dir.Path().string(), "--at", "1", "--rule", "taken/%S"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.output, P("taken/") + "\n\nPlease check")) << r.output;
    EXPECT_TRUE(Has(r.output, "Reason: a file of that name exists")) << r.output;

    r = Run({"merge", mp3, P("gone.mp3"), "-o", P("out.mp3")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.output, P("gone.mp3"))) << r.output;
    EXPECT_TRUE(Has(r.output, "Reason: no such file or folder")) << r.output;

    fs::create_directory(P("locked"));
    ::chmod(P("locked").c_str(), 0555);
    r = RunUnprivileged({"split", mp3, "-o", P("locked"), "--at", "1", "--rule", "%S", "--json"});
    if (r.code == kCannotDropPrivileges)
        GTEST_SKIP()
            << "permissions do not bind the superuser, and nobody else may run the program";
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(
        r.output, "Failed to create the file " + P("locked/1.mp3") + "! Reason: permission denied"))
        << r.output;
    EXPECT_TRUE(Has(r.output, "\"reason\": \"permission denied\"")) << r.output;
    ::chmod(P("locked").c_str(), 0755);
}

// A write that runs out of room (here a file size limit) fails with the output's own name and
// the reason, and leaves no temporary file, in a merge and in a split.
TEST_F(ErrorReasonTest, WritePastTheLimitSaysWhy) {
    std::string mp3 = Mp3();
    auto r = RunLimited(40, {"merge", mp3, mp3, "-o", P("out.mp3")});
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_TRUE(Has(r.output, "Failed to write the file " + P("out.mp3") +
                                  "! Reason: the file is larger than allowed"))
        << r.output;
    EXPECT_FALSE(Has(r.output, ".part")) << r.output;
    EXPECT_FALSE(fs::exists(P("out.mp3")));

    r = RunLimited(20, {"split", mp3, "-o", P("tracks"), "--at", "2", "--rule", "%S"});
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_TRUE(Has(r.output, "Failed to create the file " + P("tracks/1.mp3") +
                                  "! Reason: the file is larger than allowed"))
        << r.output;
    EXPECT_TRUE(Has(r.output, "failed\t" + P("tracks/1.mp3") + "\tthe file is larger")) << r.output;
    EXPECT_TRUE(fs::exists(P("tracks/2.mp3")));
    EXPECT_FALSE(TemporaryLeft(dir.Path()));

    // The encoder of a convert merge meets the same limit.
    test::WriteWav(P("b.wav"), test::SynthesizePcm({{330, 20000, 0.4}}, 44100, 2), 44100, 2);
    r = RunLimited(40, {"merge", mp3, P("b.wav"), "-o", P("converted.mp3")});
    EXPECT_EQ(r.code, 1) << r.output;
    EXPECT_TRUE(Has(r.output,
                    "The encoder ran into a problem; the current operation failed! "
                    "Reason: the file is larger than allowed"))
        << r.output;
    EXPECT_FALSE(fs::exists(P("converted.mp3")));
    EXPECT_FALSE(TemporaryLeft(dir.Path()));
}

}  // namespace
}  // namespace partita
