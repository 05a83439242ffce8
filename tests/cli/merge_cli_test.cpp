#include <QSettings>
#include <filesystem>

#include "cli_support.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

class MergeCliTest : public test::TempDirTest {
  protected:
    std::string ini = (dir / "settings.ini").string();

    test::CliResult Merge(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", ini, "--lang", "en", "merge"});
        return test::RunCli(args);
    }
    std::string Mp3(const std::string& name, std::uint32_t ms, double frequency = 440) {
        return test::MakeMp3(dir.Path(), name, {{frequency, ms, 0.4}}, {"-b", "128"}).string();
    }
    std::string P(const std::string& name) { return (dir / name).string(); }
};

// MPEG files of one format join frame by frame, with the tag options, and the run reports the
// output; the audio module is never loaded for it.
TEST_F(MergeCliTest, DirectMergeWithoutTheAudioModule) {
    std::string a = Mp3("a.mp3", 1500), b = Mp3("b.mp3", 1000, 660);
    std::string output;
    int code = test::RunProgram(
        {"env", "PARTITA_AUDIO_MODULE=" + P("no-module.so"), PARTITA_CLI_PATH, "--settings", ini,
         "--lang", "en", "merge", a, b, "-o", P("out.mp3"), "--title", "Joined", "--silence", "1"},
        &output);
    EXPECT_EQ(code, 0) << output;
    EXPECT_NE(output.find(P("out.mp3") + ": 2 files joined (direct merge)"), std::string::npos)
        << output;
    EXPECT_NEAR(test::ProbeDurationMs(P("out.mp3")), 2500 + 2 * 1000, 6 * 26.2);
    EXPECT_TRUE(test::DecodesCleanly(P("out.mp3")));
    auto bytes = test::ReadFileBytes(P("out.mp3"));
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 122), "TAGJoi");
    // Nothing of the run is stored.
    QSettings stored(QString::fromStdString(ini), QSettings::IniFormat);
    EXPECT_FALSE(stored.contains("Settings/Joiner Show Success"));
    EXPECT_FALSE(stored.contains("Settings/Merge Source Last Folder"));
}

// A convert merge takes the rate and channels asked for.
TEST_F(MergeCliTest, ConvertWithRateAndChannels) {
    std::string a = Mp3("a.mp3", 1000);
    test::WriteWav(P("b.wav"), test::SynthesizePcm({{440, 1000, 0.5}}, 44100, 2), 44100, 2);
    auto r =
        Merge({a, P("b.wav"), "-o", P("out.mp3"), "--rate", "22050", "--channels", "1", "--quiet"});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(r.output, "");
    std::string info;
    test::RunProgram({"ffprobe", "-v", "error", "-show_entries", "stream=sample_rate,channels",
                      "-of", "csv=p=0", P("out.mp3")},
                     &info);
    EXPECT_EQ(info, "22050,1\n");
    EXPECT_NEAR(test::ProbeDurationMs(P("out.mp3")), 2000, 150);
}

// Saving a list joins nothing without -o; loading it brings its ranges and silences back.
TEST_F(MergeCliTest, SaveAndUseAList) {
    std::string a = Mp3("a.mp3", 4000), b = Mp3("b.mp3", 3500);
    auto r = Merge({a, b, "--start", "1", "--end", "0:03.4", "--save-list", P("list.m3u")});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_FALSE(fs::exists(P("out.mp3")));
    auto text = test::ReadFileBytes(P("list.m3u"));
    EXPECT_EQ(std::string(text.begin(), text.end()),
              "#EXTM3U\r\n#EXTMERGEBEGIN: 0:00:01\r\n#EXTMERGEEND: 0:00:03\r\n" + a +
                  "\r\n#EXTMERGEBEGIN: 0:00:01\r\n" + b + "\r\n");
    r = Merge({"--list", P("list.m3u"), "-o", P("out.mp3")});
    ASSERT_EQ(r.code, 0) << r.output;
    // 2 s of a (1 s to 3 s) and b from 1 s to its end.
    EXPECT_NEAR(test::ProbeDurationMs(P("out.mp3")), 2000 + test::ProbeDurationMs(b) - 1000,
                4 * 26.2);
}

// An existing output is kept without --overwrite; a source is never the output; a file that
// cannot be read ends the run; each gives exit code 1 and no output.
TEST_F(MergeCliTest, RefusalsAndFailures) {
    std::string a = Mp3("a.mp3", 500), b = Mp3("b.mp3", 500);
    test::WriteFileText(P("old.mp3"), "old");
    auto r = Merge({a, b, "-o", P("old.mp3")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("--overwrite"), std::string::npos) << r.output;
    EXPECT_EQ(test::ReadFileBytes(P("old.mp3")).size(), 3u);
    EXPECT_EQ(Merge({a, b, "-o", P("old.mp3"), "--overwrite"}).code, 0);
    EXPECT_GT(test::ReadFileBytes(P("old.mp3")).size(), 3u);

    auto size = fs::file_size(a);
    r = Merge({a, b, "-o", P("sub/../a.mp3"), "--overwrite"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("cannot be both the source and the target"), std::string::npos)
        << r.output;
    EXPECT_EQ(fs::file_size(a), size);

    test::WriteFileText(P("bad.mp3"), std::string(3000, 'x'));
    r = Merge({a, P("bad.mp3"), "-o", P("new.mp3")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("Failed to load the file"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(P("new.mp3")));

    test::WriteWav(P("c.wav"), test::SynthesizePcm({{440, 300}}, 44100, 2), 44100, 2);
    r = Merge({a, P("c.wav"), "-o", P("new.mp3"), "--mode", "direct"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("Direct Merge"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(P("new.mp3")));
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".part-"), std::string::npos);
}

// Usage errors: nothing to join, no output, a bad time, rate or mode.
TEST_F(MergeCliTest, UsageErrors) {
    std::string a = Mp3("a.mp3", 300);
    EXPECT_EQ(Merge({"-o", P("o.mp3")}).code, 64);
    EXPECT_EQ(Merge({a}).code, 64);
    EXPECT_EQ(Merge({a, "-o", P("o.mp3"), "--start", "1:70"}).code, 64);
    EXPECT_EQ(Merge({a, "-o", P("o.mp3"), "--start", "5", "--end", "4"}).code, 64);
    EXPECT_EQ(Merge({a, "-o", P("o.mp3"), "--rate", "12345"}).code, 64);
    EXPECT_EQ(Merge({a, "-o", P("o.mp3"), "--mode", "fast"}).code, 64);
    EXPECT_FALSE(fs::exists(P("o.mp3")));
    auto help = test::RunCli({"merge", "--help"});
    EXPECT_NE(help.output.find("--save-list"), std::string::npos);
}

}  // namespace
}  // namespace partita
