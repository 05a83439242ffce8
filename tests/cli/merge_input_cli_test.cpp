#include <sys/stat.h>

#include <filesystem>

#include "cli_support.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

class MergeInputCliTest : public test::TempDirTest {
  protected:
    std::string ini = (dir / "settings.ini").string();

    test::CliResult Merge(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", ini, "--lang", "en", "merge"});
        return test::RunCli(args);
    }
    std::string Mp3(const std::string& name, std::uint32_t ms) {
        return test::MakeMp3(dir.Path(), name, {{440, ms, 0.4}}, {"-b", "128"}).string();
    }
    std::string P(const std::string& name) { return (dir / name).string(); }
};

// Layer II and Layer III are different formats: auto converts them, direct refuses them. An
// MPEG file under another extension joins frame by frame like any other.
TEST_F(MergeInputCliTest, LayersAndExtensions) {
    std::string a = Mp3("a.mp3", 1000);
    test::WriteWav(P("b.wav"), test::SynthesizePcm({{660, 1000, 0.5}}, 44100, 2), 44100, 2);
    ASSERT_EQ(test::RunProgram({"ffmpeg", "-v", "error", "-i", P("b.wav"), "-c:a", "mp2", "-b:a",
                                "128k", P("b.mp2")}),
              0);
    auto direct = Merge({a, P("b.mp2"), "--mode", "direct", "-o", P("d.mp3")});
    EXPECT_NE(direct.code, 0) << direct.output;
    EXPECT_FALSE(fs::exists(P("d.mp3")));
    auto automatic = Merge({a, P("b.mp2"), "-o", P("auto.mp3")});
    EXPECT_EQ(automatic.code, 0) << automatic.output;
    EXPECT_NE(automatic.output.find("convert merge"), std::string::npos) << automatic.output;

    fs::copy_file(a, P("a.audio"));
    auto renamed = Merge({P("a.audio"), a, "--mode", "direct", "-o", P("r.mp3")});
    EXPECT_EQ(renamed.code, 0) << renamed.output;
    EXPECT_NE(renamed.output.find("direct merge"), std::string::npos) << renamed.output;
}

// --save-list never replaces a source, asks (here: refuses without --overwrite) before
// replacing a list, and a named pipe given as the list is refused at once.
TEST_F(MergeInputCliTest, SaveListAndPipes) {
    std::string keep = Mp3("keep.mp3", 500), b = Mp3("b.mp3", 500);
    auto size = fs::file_size(keep);
    EXPECT_NE(Merge({keep, b, "--save-list", keep}).code, 0);
    EXPECT_EQ(fs::file_size(keep), size);

    test::WriteFileText(P("old.m3u"), "old");
    auto kept = Merge({keep, b, "--save-list", P("old.m3u")});
    EXPECT_NE(kept.code, 0);
    EXPECT_NE(kept.output.find("was not saved"), std::string::npos) << kept.output;
    EXPECT_EQ(fs::file_size(P("old.m3u")), 3u);
    EXPECT_EQ(Merge({keep, b, "--save-list", P("old.m3u"), "--overwrite"}).code, 0);
    EXPECT_GT(fs::file_size(P("old.m3u")), 3u);

    ASSERT_EQ(::mkfifo(P("pipe.m3u").c_str(), 0600), 0);
    auto pipe = test::RunProgram({"timeout", "10", PARTITA_CLI_PATH, "--settings", ini, "merge",
                                  "--list", P("pipe.m3u"), "-o", P("p.mp3")});
    EXPECT_NE(pipe, 0);
    EXPECT_NE(pipe, 124);  // not ended by the timeout
}

}  // namespace
}  // namespace partita
