#include "info_audio.h"

#include <cmath>

#include "app/string_table.h"
#include "app/user_message.h"
#include "audio/open_error.h"
#include "cli_support.h"
#include "tags/non_mpeg_tags.h"

namespace partita {
namespace {

using audio::AudioType;

class InfoAudioTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }
    void TearDown() override { SetCurrentLanguage(Language::Chinese); }

    // A two-second tone made by ffmpeg into `name` with the options.
    test::fs::path Make(const std::string& name, const std::vector<std::string>& options) {
        auto wav = dir / (name + ".wav");
        test::WriteWav(wav, test::SynthesizePcm({{440, 2000, 0.5}}, 44100, 2), 44100, 2);
        std::vector<std::string> argv{"ffmpeg", "-nostdin", "-v",        "error",
                                      "-y",     "-i",       wav.string()};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back((dir / name).string());
        std::string output;
        EXPECT_EQ(test::RunProgram(argv, &output), 0) << output;
        return dir / name;
    }

    nlohmann::json Info(const std::vector<std::string>& files, int expectedCode = 0) {
        std::vector<std::string> args{"--settings", (dir / "s.ini").string(), "info", "--json"};
        args.insert(args.end(), files.begin(), files.end());
        auto r = test::RunCli(args);
        EXPECT_EQ(r.code, expectedCode) << r.output;
        return nlohmann::json::parse(r.output.substr(r.output.find('[')));
    }
};

// The extension decides; then a stream the frame analysis found; then the audio layer.
TEST_F(InfoAudioTest, ClassifiesForTheReport) {
    EXPECT_EQ(cli::ClassifyForInfo("x.OGG", true), AudioType::Ogg);
    EXPECT_EQ(cli::ClassifyForInfo("x.mpa", true), AudioType::Mpeg);
    EXPECT_EQ(cli::ClassifyForInfo("x", true), AudioType::Mpeg);
    auto ogg = Make("a.ogg", {"-c:a", "libvorbis"});
    test::fs::rename(ogg, dir / "noext");
    EXPECT_EQ(cli::ClassifyForInfo((dir / "noext").string(), false), AudioType::Ogg);
    test::WriteFileText(dir / "notes.txt", "nothing to hear");
    EXPECT_EQ(cli::ClassifyForInfo((dir / "notes.txt").string(), false), AudioType::Unknown);
}

// A WAV file: its audio facts, the lists' average bitrate and its tags, Chinese included.
TEST_F(InfoAudioTest, WavFileFactsAndTags) {
    test::WriteWav(dir / "a.wav", test::SynthesizePcm({{440, 1000, 0.5}}, 22050, 1), 22050, 1);
    TagTexts texts;
    texts.title = "标题";
    texts.track = "2";
    ASSERT_TRUE(WriteNonMpegTags(dir / "a.wav", texts));
    nlohmann::json item{{"path", "a.wav"}};
    std::string text;
    ASSERT_TRUE(
        cli::AddAudioInfo(item, text, (dir / "a.wav").string(), AudioType::Wav, "ISO-8859-1"));
    EXPECT_EQ(item["durationMs"], 1000);
    EXPECT_EQ(item["sampleRate"], 22050);
    EXPECT_EQ(item["channels"], 1);
    auto size = test::fs::file_size(dir / "a.wav");
    EXPECT_EQ(item["bitrateKbps"], int(std::nearbyint(double(size) / 125.0 + 0.5)));
    EXPECT_FALSE(item.contains("vbr"));
    EXPECT_EQ(item["tags"]["title"], "标题");
    EXPECT_EQ(item["tags"]["track"], "2");
    EXPECT_EQ(item["tags"]["artist"], "");
    EXPECT_NE(text.find("WAV, 22050 Hz, 1 channel,"), std::string::npos) << text;
    EXPECT_NE(text.find("title: 标题"), std::string::npos) << text;
    EXPECT_NE(text.find("0:01.000 (1000 ms)"), std::string::npos) << text;
}

// The command line reports WAV, Ogg, WMA and AIFF files with the audio layer's facts (WMA: the
// bitrate of its tags and the VBR flag) and MPEG files with the frame analysis's plus tags.
TEST_F(InfoAudioTest, CommandReportsEveryKind) {
    auto ogg = Make("a.ogg", {"-c:a", "libvorbis", "-metadata", "artist=Someone"});
    auto wma = Make("a.wma", {"-c:a", "wmav2", "-b:a", "64k"});
    auto aiff = Make("a.aiff", {});
    auto mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 300, 0.5}}, {"-b", "64", "--tt", "Song"});
    auto json = Info({ogg.string(), wma.string(), aiff.string(), mp3.string()});
    ASSERT_EQ(json.size(), 4u);
    EXPECT_EQ(json[0]["audioType"], 3);
    EXPECT_NEAR(json[0]["durationMs"].get<double>(), 2000.0, 1.0);
    EXPECT_EQ(json[0]["channels"], 2);
    EXPECT_EQ(json[0]["tags"]["artist"], "Someone");
    EXPECT_EQ(json[1]["audioType"], 4);
    EXPECT_EQ(json[1]["bitrateKbps"], 64);
    EXPECT_EQ(json[1]["vbr"], false);
    EXPECT_EQ(json[2]["audioType"], 5);
    EXPECT_EQ(json[2]["durationMs"], 2000);
    EXPECT_EQ(json[2]["sampleRate"], 44100);
    EXPECT_EQ(json[3]["audioType"], 1);
    EXPECT_EQ(json[3]["tags"]["title"], "Song");
    EXPECT_TRUE(json[3]["streamFound"].get<bool>());
    EXPECT_FALSE(json[3].contains("channels"));
}

// A damaged file of a known kind carries the open failure's message, tags that could not be
// read and exit code 1; a file of no audio kind is reported without either.
TEST_F(InfoAudioTest, FailuresAreReported) {
    test::WriteFileText(dir / "text.wav", std::string(3000, 't'));
    nlohmann::json item;
    std::string text;
    EXPECT_FALSE(
        cli::AddAudioInfo(item, text, (dir / "text.wav").string(), AudioType::Wav, "ISO-8859-1"));
    EXPECT_EQ(
        item["error"],
        audio::OpenErrorMessage((dir / "text.wav").string(), audio::OpenError::Damaged).Text());
    EXPECT_EQ(item["tagsError"], Message(Msg::TagsUnreadable));
    EXPECT_FALSE(item.contains("durationMs"));

    nlohmann::json earlier{{"error", "first"}};
    EXPECT_FALSE(cli::AddAudioInfo(earlier, text, (dir / "text.wav").string(), AudioType::Wav,
                                   "ISO-8859-1"));
    EXPECT_EQ(earlier["error"], "first");

    test::WriteFileText(dir / "notes.txt", "nothing to hear");
    auto json = Info({(dir / "text.wav").string(), (dir / "notes.txt").string()}, 1);
    EXPECT_TRUE(json[0].contains("error"));
    EXPECT_EQ(json[1]["audioType"], -1);
    EXPECT_FALSE(json[1].contains("error"));
    EXPECT_FALSE(json[1].contains("tags"));
}

}  // namespace
}  // namespace partita
