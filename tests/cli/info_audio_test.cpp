#include "info_audio.h"

#include "app/memory_settings_store.h"
#include "app/message_format.h"
#include "app/string_table.h"
#include "audio/open_error.h"
#include "cli_support.h"
#include "tags/non_mpeg_tags.h"

namespace partita {
namespace {

class InfoAudioTest : public test::TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }
    void TearDown() override { SetCurrentLanguage(Language::Chinese); }

    // Runs ffmpeg from a generated WAV to `name` with the options.
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

    MemorySettingsStore settings;
};

// A WAV file: its audio facts, the lists' average bitrate and its tags.
TEST_F(InfoAudioTest, WavFileFactsAndTags) {
    test::WriteWav(dir / "a.wav", test::SynthesizePcm({{440, 1000, 0.5}}, 22050, 1), 22050, 1);
    TagTexts texts;
    texts.title = "标题";
    texts.track = "2";
    ASSERT_TRUE(WriteNonMpegTags(dir / "a.wav", texts));
    nlohmann::json item{{"path", "a.wav"}};
    std::string text;
    ASSERT_TRUE(cli::AddAudioInfo(item, text, (dir / "a.wav").string(), settings));
    EXPECT_EQ(item["audioType"], 2);
    EXPECT_EQ(item["durationMs"], 1000);
    EXPECT_EQ(item["sampleRate"], 22050);
    EXPECT_EQ(item["channels"], 1);
    auto size = test::fs::file_size(dir / "a.wav");
    EXPECT_EQ(item["bitrateKbps"], int(std::nearbyint(size / 125.0 + 0.5)));
    EXPECT_FALSE(item.contains("vbr"));
    EXPECT_EQ(item["tags"]["title"], "标题");
    EXPECT_EQ(item["tags"]["track"], "2");
    EXPECT_EQ(item["tags"]["artist"], "");
    EXPECT_NE(text.find("audio type: 2 (WAV)"), std::string::npos) << text;
    EXPECT_NE(text.find("title: 标题"), std::string::npos) << text;
    EXPECT_NE(text.find("0:01.000 (1000 ms)"), std::string::npos) << text;
}

// A WMA file reports the bitrate of its tags and the VBR flag; an Ogg file the average.
TEST_F(InfoAudioTest, WmaAndOggFiles) {
    auto wma = Make("a.wma", {"-c:a", "wmav2", "-b:a", "64k"});
    nlohmann::json item;
    std::string text;
    ASSERT_TRUE(cli::AddAudioInfo(item, text, wma.string(), settings));
    EXPECT_EQ(item["audioType"], 4);
    EXPECT_EQ(item["bitrateKbps"], 64);
    EXPECT_EQ(item["vbr"], false);
    EXPECT_EQ(item["sampleRate"], 44100);

    auto ogg = Make("a.ogg", {"-c:a", "libvorbis", "-metadata", "artist=Someone"});
    nlohmann::json oggItem;
    ASSERT_TRUE(cli::AddAudioInfo(oggItem, text, ogg.string(), settings));
    EXPECT_EQ(oggItem["audioType"], 3);
    EXPECT_NEAR(oggItem["durationMs"].get<double>(), 2000.0, 1.0);
    EXPECT_EQ(oggItem["tags"]["artist"], "Someone");
}

// An MPEG file gets its tags only: its facts are the frame analysis's.
TEST_F(InfoAudioTest, MpegFileGetsTagsOnly) {
    auto mp3 = test::MakeMp3(dir.Path(), "a.mp3", {{440, 300, 0.5}}, {"-b", "64", "--tt", "Song"});
    nlohmann::json item;
    std::string text;
    ASSERT_TRUE(cli::AddAudioInfo(item, text, mp3.string(), settings));
    EXPECT_EQ(item["tags"]["title"], "Song");
    EXPECT_FALSE(item.contains("audioType"));
    EXPECT_FALSE(item.contains("durationMs"));
}

// A file that is not audio carries the open failure's message and no facts; a missing file is
// left to the caller.
TEST_F(InfoAudioTest, FailuresAreReported) {
    test::WriteFileText(dir / "notes.txt", "just some text, no audio in here\n");
    nlohmann::json item;
    std::string text;
    EXPECT_FALSE(cli::AddAudioInfo(item, text, (dir / "notes.txt").string(), settings));
    EXPECT_EQ(item["error"], audio::OpenErrorMessage((dir / "notes.txt").string(),
                                                     audio::OpenError::UnknownFormat));
    EXPECT_EQ(item["tagsError"], Message(316));
    EXPECT_FALSE(item.contains("durationMs"));

    nlohmann::json earlier{{"error", "first"}};
    EXPECT_FALSE(cli::AddAudioInfo(earlier, text, (dir / "notes.txt").string(), settings));
    EXPECT_EQ(earlier["error"], "first");

    nlohmann::json missing;
    EXPECT_FALSE(cli::AddAudioInfo(missing, text, (dir / "none.wav").string(), settings));
    EXPECT_TRUE(missing.empty());
}

}  // namespace
}  // namespace partita
