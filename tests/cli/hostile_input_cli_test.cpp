#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "cli_support.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

// Damaged lists and sheets, made in the test's folder next to a good MP3 "a.mp3".
struct MadeInput {
    const char* name;
    std::string text;
};

std::string Utf16(const std::string& ascii) {
    std::string text = "\xFF\xFE";
    for (char c : ascii)
        text += std::string{c, '\0'};
    return text;
}

std::vector<MadeInput> MadeInputs() {
    std::string junk;
    for (int i = 0; i < 3000; ++i)
        junk += static_cast<char>((i * 7919) % 256);
    std::string longTitle;
    for (int i = 0; i < 75; ++i)
        longTitle += "音";
    const std::string head = "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n";
    return {
        {"count.pls", "[playlist]\nNumberOfEntries=2000000000\nFile1=a.mp3\n"},
        {"negative.pls", "[playlist]\nNumberOfEntries=-1\nFile1=a.mp3\nFile2=.\n"},
        {"self.pls", "[playlist]\nNumberOfEntries=1\nFile1=self.pls\n"},
        {"silence.m3u", "#EXTSILENCE: 1000000000\na.mp3\n#EXTMERGEEND: 99999:00:00\na.mp3\n"},
        {"windows.m3u", Utf16("#EXTM3U\r\nC:\\Music\\a.mp3\r\nsub\\none.mp3\r\n")},
        {"junk.m3u", junk},
        {"empty.m3u", ""},
        {"junk.cue", junk},
        {"empty.cue", ""},
        {"notrack.cue", "FILE \"a.mp3\" MP3\n"},
        {"badindex.cue", head + "TRACK 02 AUDIO\nTITLE \"x\"\nINDEX 01 0x:zz:99\n"},
        {"pastend.cue", head + "TRACK 02 AUDIO\nINDEX 01 9999:00:00\n"},
        {"threeindex.cue", head + "TRACK 02 AUDIO\nINDEX 00 00:01:00\nINDEX 01 00:01:10\n"
                                  "INDEX 02 00:01:20\n"},
        {"pregap.cue", head + "TRACK 02 AUDIO\nINDEX 00 00:01:00\nINDEX 01 00:01:40\n"},
        {"backwards.cue", head + "TRACK 02 AUDIO\nINDEX 01 00:01:00\nTRACK 03 AUDIO\n"
                                 "INDEX 01 00:00:30\n"},
        {"names.cue",
         "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nTITLE \"..\"\nINDEX 01 00:00:00\n"
         "TRACK 02 AUDIO\nTITLE \"" +
             longTitle +
             "\"\nINDEX 01 00:01:00\nTRACK 03 AUDIO\nTITLE \"a\tb\x01\"\n"
             "INDEX 01 00:01:30\n"},
        {"selffile.cue", "FILE \"selffile.cue\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"folder.cue", "FILE \".\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"missing.cue", "FILE \"missing.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"},
        {"utf16.cue", Utf16(head)},
    };
}

// Every real-world file and every damaged list and sheet gets an answer from info, a dry-run
// split and a direct merge: never a hang, a crash or a sanitizer report, a failure always says
// why, and a success has something to show for it.
class HostileInputTest : public test::TempDirTest,
                         public ::testing::WithParamInterface<std::string> {
  protected:
    std::string ini = (dir / "settings.ini").string();

    test::CliResult Run(std::vector<std::string> args) {
        args.insert(args.begin(),
                    {"timeout", "60", PARTITA_CLI_PATH, "--settings", ini, "--lang", "en"});
        test::CliResult result;
        result.code = test::RunProgram(args, &result.output);
        return result;
    }
    void ExpectAnswer(const test::CliResult& r, const std::string& what) {
        EXPECT_NE(r.code, 124) << what << ": no answer within a minute";
        EXPECT_TRUE(r.code >= 0 && r.code < 100) << what << ": ended by a signal\n" << r.output;
        EXPECT_EQ(r.output.find("Sanitizer"), std::string::npos) << what << "\n" << r.output;
        EXPECT_EQ(r.output.find("runtime error"), std::string::npos) << what << "\n" << r.output;
        if (r.code != 0) {
            EXPECT_FALSE(r.output.empty()) << what << ": a failure without a word";
        }
    }
};

TEST_P(HostileInputTest, AnswersEveryCommand) {
    fs::copy_file(fs::path(PARTITA_CORPUS_DIR) / "lame_cbr.mp3", dir / "a.mp3");
    fs::path input;
    const std::string& name = GetParam();
    if (name.rfind("corpus/", 0) == 0) {
        input = fs::path(PARTITA_CORPUS_DIR) / name.substr(7);
    } else if (name.rfind("pipe.", 0) == 0) {
        input = dir / name;
        ASSERT_EQ(::mkfifo(input.c_str(), 0600), 0);
    } else {
        for (const MadeInput& made : MadeInputs()) {
            if (made.name == name)
                test::WriteFileText(dir / name, made.text);
        }
        input = dir / name;
    }
    const std::string path = input.string();
    const bool list = input.extension() == ".m3u" || input.extension() == ".pls";

    test::CliResult info = Run({"info", path});
    ExpectAnswer(info, "info");
    if (info.code == 0) {
        EXPECT_FALSE(info.output.empty());
    }

    test::CliResult split = Run({"split", "--dry-run", path, "-o", (dir / "out").string()});
    ExpectAnswer(split, "split");
    if (split.code == 0) {
        EXPECT_NE(split.output.find((dir / "out").string()), std::string::npos) << split.output;
    }

    std::string joined = (dir / "joined.mp3").string();
    test::CliResult merge = list ? Run({"merge", "--mode", "direct", "--list", path, "-o", joined})
                                 : Run({"merge", "--mode", "direct", path, "-o", joined});
    ExpectAnswer(merge, "merge");
    if (merge.code == 0) {
        EXPECT_GT(test::ProbeDurationMs(joined), 0) << merge.output;
    }
}

std::vector<std::string> Inputs() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PARTITA_CORPUS_DIR))
        names.push_back("corpus/" + entry.path().filename().string());
    for (const MadeInput& made : MadeInputs())
        names.emplace_back(made.name);
    names.emplace_back("pipe.m3u");
    names.emplace_back("pipe.cue");
    names.emplace_back("pipe.mp3");
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Inputs, HostileInputTest, ::testing::ValuesIn(Inputs()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace partita
