#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "cue/cue_sheet.h"

namespace partita {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

// Tones of 2 s with silences of 2 s between them: 0-2 sound, 2-4 silent, 4-7 sound, 7-9
// silent, 9-11 sound.
const std::vector<test::ToneSegment> kTones{
    {440, 2000}, {0, 2000}, {660, 3000}, {0, 2000}, {550, 2000}};

class CueCommandTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        ini = (dir / "s.ini").string();
        wav = dir / "tones.wav";
        test::WriteWav(wav, test::SynthesizePcm(kTones, 8000, 1), 8000, 1);
        out = dir / "out";
    }

    test::CliResult Run(const std::string& command, std::vector<std::string> args) {
        std::vector<std::string> all{"--settings", ini, "--lang", "en", command};
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all);
    }
    std::vector<std::string> Starts(const fs::path& sheet) {
        CueSheet cue;
        EXPECT_TRUE(cue.Load(sheet)) << cue.Error().message.Text();
        std::vector<std::string> starts;
        for (const CueTrackRecord& t : cue.Tracks())
            starts.push_back(t.startText);
        return starts;
    }
    std::vector<std::string> Outputs() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::string Tag(const fs::path& file, const std::string& key) {
        std::string output;
        test::RunProgram({"ffprobe", "-v", "error", "-show_entries", "format_tags=" + key, "-of",
                          "default=nw=1:nk=1", file.string()},
                         &output);
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
            output.pop_back();
        return output;
    }

    std::string ini;
    fs::path wav;
    fs::path out;
};

using Names = std::vector<std::string>;

// `cue` saves the tracks that silences, parts or fixed lengths make, cutting nothing.
TEST_F(CueCommandTest, SavesTracksAsASheet) {
    fs::path sheet = dir / "tones.cue";
    auto r = Run("cue", {wav.string(), "-o", sheet.string(), "--silence"});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Starts(sheet), (Names{"0:00.000", "0:03.694", "0:08.694"}));

    r = Run("cue", {wav.string(), "-o", sheet.string(), "--parts", "4", "--json"});
    EXPECT_EQ(r.code, 1) << r.output;  // not replaced without --overwrite
    r = Run("cue", {wav.string(), "-o", sheet.string(), "--parts", "4", "--overwrite", "--json"});
    ASSERT_EQ(r.code, 0) << r.output;
    auto json = nlohmann::json::parse(r.output.substr(r.output.find('{')));
    EXPECT_EQ(json["tracks"], 4);  // one sheet: one object
    EXPECT_EQ(Starts(sheet), (Names{"0:00.000", "0:02.747", "0:05.494", "0:08.240"}));

    r = Run("cue", {wav.string(), "-o", sheet.string(), "--every", "5", "--overwrite",
                    "--overlap-before", "0.5", "--overlap-after", "1:00"});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Starts(sheet), (Names{"0:00.000", "0:05.000", "0:10.000"}));
    CueSheet cue;
    ASSERT_TRUE(cue.Load(sheet));
    EXPECT_EQ(cue.Header().bwOverlapMs, 500);
    EXPECT_EQ(cue.Header().fwOverlapMs, 60000);
    EXPECT_FALSE(fs::exists(out));
}

// Wrong values are refused before anything is done: counts (170), lengths (169, 171, 243),
// silence settings; a malformed sheet reports its line (196) and fails.
TEST_F(CueCommandTest, RefusesWrongValues) {
    fs::path sheet = dir / "x.cue";
    EXPECT_EQ(Run("cue", {wav.string(), "-o", sheet.string(), "--parts", "1000"}).code, 64);
    EXPECT_EQ(Run("cue", {wav.string(), "-o", sheet.string(), "--every", "0"}).code, 64);
    EXPECT_EQ(Run("cue", {wav.string(), "-o", sheet.string(), "--parts", "2", "--every", "1"}).code,
              64);
    EXPECT_EQ(
        Run("cue", {wav.string(), "-o", sheet.string(), "--silence", "--silence-level", "5"}).code,
        64);
    EXPECT_EQ(Run("cue", {wav.string(), "-o", sheet.string(), "--silence-length", "500"}).code, 64);
    auto r = Run("cue", {wav.string(), "-o", sheet.string(), "--every", "12"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("must be less than the whole length"), std::string::npos) << r.output;
    r = Run("cue", {wav.string(), "-o", sheet.string(), "--every", "0.01"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("is too small"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(sheet));

    test::WriteFileText(dir / "bad.cue",
                        "FILE \"tones.wav\" WAVE\r\n\r\nTRACK 01 AUDIO\r\n"
                        "INDEX 01 00:00:00\r\nTITLE Two\r\n");
    r = Run("split", {(dir / "bad.cue").string(), "-o", out.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("Line [5] is malformed"), std::string::npos) << r.output;
}

// `split` takes a sheet: one output per checked track, with the sheet's title and performer as
// tags; the sheet can be exported next to the outputs.
TEST_F(CueCommandTest, SplitsASheet) {
    fs::path mp3 = test::MakeMp3(dir.Path(), "show.mp3", kTones, {"-b", "64"}, 44100, 1);
    test::WriteFileText(dir / "show.cue",
                        "\xEF\xBB\xBFPERFORMER \"Band\"\r\n"
                        "TITLE \"Show\"\r\n"
                        "FILE \"D:\\Radio\\show.mp3\" MP3\r\n"
                        "  TRACK 01 AUDIO\r\n"
                        "    TITLE \"Opening\"\r\n"
                        "    INDEX 01 00:00:00\r\n"
                        "  TRACK 02 AUDIO\r\n"
                        "    TITLE \"Talk 谈话\"\r\n"
                        "    PERFORMER \"Guest\"\r\n"
                        "    INDEX 00 00:02:00\r\n"
                        "    INDEX 01 00:04:00\r\n"
                        "  TRACK 03 AUDIO\r\n"
                        "    TITLE \"Close\"\r\n"
                        "    INDEX 01 00:09:00\r\n");
    auto r = Run("split", {(dir / "show.cue").string(), "-o", out.string(), "--rule", "%F-%S",
                           "--export-cue", "--set", "Settings/Splitter ID3 Auto Sequence=0"});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Outputs(), (Names{"show-1.mp3", "show-3.mp3", "show-4.mp3", "show.cue"}));
    EXPECT_EQ(Tag(out / "show-1.mp3", "title"), "Opening");
    EXPECT_EQ(Tag(out / "show-1.mp3", "artist"), "Band");
    EXPECT_EQ(Tag(out / "show-3.mp3", "title"), "Talk 谈话");
    EXPECT_EQ(Tag(out / "show-3.mp3", "artist"), "Guest");
    EXPECT_NEAR(test::ProbeDurationMs(out / "show-3.mp3"), 5000, 60);
    EXPECT_EQ(Starts(out / "show.cue"), (Names{"0:00.000", "0:02.000", "0:04.000", "0:09.000"}));
}

// Splitting at silences leaves the silences out when asked; overlaps widen every output.
TEST_F(CueCommandTest, SplitsAtSilencesWithOverlaps) {
    auto r =
        Run("split", {wav.string(), "-o", out.string(), "--rule", "%F-%S", "--silence",
                      "--exclude-silence", "--silence-length", "1000", "--overlap-after", "0.2"});
    ASSERT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(Outputs(), (Names{"tones-1.wav", "tones-3.wav", "tones-5.wav"}));
    EXPECT_NEAR(test::ProbeDurationMs(out / "tones-1.wav"), 2200, 30);
    EXPECT_NEAR(test::ProbeDurationMs(out / "tones-3.wav"), 3000 + 300 + 200, 30);
    EXPECT_NEAR(test::ProbeDurationMs(out / "tones-5.wav"), 2000 + 300, 30);
}

}  // namespace
}  // namespace partita
