#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "tags/non_mpeg_tags.h"
#include "tags/tag_reader.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

class SplitInputCliTest : public test::TempDirTest {
  protected:
    std::string ini = (dir / "s.ini").string();

    test::CliResult Split(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", ini, "--lang", "en", "split"});
        return test::RunCli(args);
    }
    // The byte ranges a dry run plans.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> Planned(std::vector<std::string> args) {
        args.insert(args.end(), {"--dry-run", "--json", "-o", (dir / "plan").string()});
        test::CliResult r = Split(args);
        EXPECT_EQ(r.code, 0) << r.output;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
        for (const auto& item : nlohmann::json::parse(r.output.substr(r.output.find('['))))
            ranges.emplace_back(item["byteStart"], item["byteEnd"]);
        return ranges;
    }
};

// A sheet exported after a split cuts again at the very frames of that split, though its
// times hold only whole 1/75 s.
TEST_F(SplitInputCliTest, ExportedSheetCutsTheSameFrames) {
    fs::path mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 21000, 0.4}}, {"-b", "128"});
    std::string points;
    for (int i = 1; i <= 20; ++i)
        points += (i > 1 ? "," : "") + std::to_string(i) + "." + std::to_string(100 + i * 37);
    auto first = Planned({mp3.string(), "--at", points});
    auto split = Split({mp3.string(), "--at", points, "--export-cue", "--rule", "%F-%S", "-o",
                        (dir / "out").string()});
    ASSERT_EQ(split.code, 0) << split.output;
    auto again = Planned({(dir / "out" / "a.cue").string()});
    EXPECT_EQ(again, first);
}

// A sheet's pregaps: left out with a word by default, or the end of the track before.
TEST_F(SplitInputCliTest, PregapsAreNamed) {
    fs::path mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 12000, 0.4}}, {"-b", "128"});
    test::WriteFileText(dir / "a.cue",
                        "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                        "TRACK 02 AUDIO\nINDEX 00 00:04:00\nINDEX 01 00:07:00\n");
    auto skipped = Split({(dir / "a.cue").string(), "--dry-run", "-o", (dir / "o").string()});
    EXPECT_EQ(skipped.code, 0) << skipped.output;
    EXPECT_NE(skipped.output.find("track 2 (0:04.000 to 0:07.000) is not checked"),
              std::string::npos)
        << skipped.output;
    auto previous = Planned({(dir / "a.cue").string(), "--pregaps", "previous"});
    ASSERT_EQ(previous.size(), 2u);
    EXPECT_EQ(previous[0].second, previous[1].first);  // no audio between the two
}

// WAV pieces get their own title and number, as MPEG pieces do, in the interface's language.
TEST_F(SplitInputCliTest, WavPiecesGetTheirOwnTags) {
    fs::path wav = dir / "w.wav";
    test::WriteWav(wav, test::SynthesizePcm({{440, 2000}}, 8000, 1), 8000, 1);
    TagTexts source;
    source.title = "Src";
    source.track = "9";
    ASSERT_TRUE(WriteNonMpegTags(wav, source));
    auto r = Split({wav.string(), "--at", "1", "--rule", "%F-%S", "-o", (dir / "o").string()});
    ASSERT_EQ(r.code, 0) << r.output;
    TagTexts first, second;
    ASSERT_TRUE(ReadTags(dir / "o" / "w-1.wav", "ISO-8859-1", first));
    ASSERT_TRUE(ReadTags(dir / "o" / "w-2.wav", "ISO-8859-1", second));
    EXPECT_EQ(first.title, "Src[Track 001]");
    EXPECT_EQ(second.title, "Src[Track 002]");
    EXPECT_NE(first.track, second.track);
}

}  // namespace
}  // namespace partita
