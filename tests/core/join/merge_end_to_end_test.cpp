#include <cmath>
#include <cstring>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "audio_check.h"
#include "fake_inspector.h"
#include "join/merge_job.h"
#include "join/merge_settings.h"
#include "join/standard_merge_engines.h"
#include "mpeg/mpeg_analysis.h"
#include "support/scripted_host.h"
#include "support/test_support.h"
#include "tags/id3v2.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

// Whole merges through the real engines: the job, the frame copy or the encoder, the tags.
class MergeEndToEndTest : public test::TempDirTest {
  protected:
    MemorySettingsStore settings;
    test::FakeInspector inspector;
    test::ScriptedHost host;
    MergeJobOptions options = ReadMergeJobOptions(settings);
    StandardMergeEngines engines{options.installFolder, options.legacyCodePage};
    MergeList list;

    MergeEndToEndTest() {
        options.showCompletion = false;
        options.tags.title = "Joined";
        options.tags.artist = "Someone";
    }
    void AddRow(const fs::path& path, int rate, int channelMode, double kbps, audio::AudioType type,
                int channels = 2) {
        auto& f = inspector.Add(path.filename().string(), 1000, rate, channelMode, kbps);
        f.audioType = type;
        if (channelMode < 0)
            f.channels = channels;
        ASSERT_TRUE(list.AddFile(path.string(), list.Size(), inspector, {}).added);
    }
    MergeJobOutcome Run(const std::string& output) {
        options.outputPath = (dir / output).string();
        MergeJob job(list, options, host, engines);
        return job.Run();
    }
    fs::path Wav(const std::string& name, std::uint32_t rate, std::uint16_t channels,
                 std::uint32_t ms, double frequency = 440) {
        auto path = dir / name;
        test::WriteWav(path, test::SynthesizePcm({{frequency, ms, 0.5}}, rate, channels), rate,
                       channels);
        return path;
    }
    std::size_t Leftovers() {
        std::size_t n = 0;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            n += entry.path().filename().string().find(".part-") != std::string::npos;
        return n;
    }
};

// A direct merge: the output is the ID3v2 tag, the frames of both files, the ID3v1 tag; it
// plays for the sum of the two lengths.
TEST_F(MergeEndToEndTest, DirectMergeWithTags) {
    auto a = test::MakeMp3(dir.Path(), "a.mp3", {{440, 1500, 0.4}}, {"-b", "128"});
    auto b = test::MakeMp3(dir.Path(), "b.mp3", {{660, 1000, 0.4}}, {"-b", "128"});
    AddRow(a, 44100, 1, 128, audio::AudioType::Mpeg);
    AddRow(b, 44100, 1, 128, audio::AudioType::Mpeg);
    auto outcome = Run("out.mp3");
    ASSERT_EQ(outcome.end, MergeJobEnd::Done);
    EXPECT_EQ(outcome.mode, MergeMode::Direct);
    auto out = test::ReadFileBytes(dir / "out.mp3");
    auto tag = MakeId3v2Tag(options.tags);
    ASSERT_GT(out.size(), tag.size() + 128);
    EXPECT_TRUE(std::equal(tag.begin(), tag.end(), out.begin()));
    EXPECT_EQ(std::memcmp(out.data() + out.size() - 128, "TAGJoined", 9), 0);
    MpegAnalysis info;
    ASSERT_TRUE(info.Open((dir / "out.mp3").string()));
    EXPECT_TRUE(info.hasId3v1);
    EXPECT_EQ(info.title, "Joined");
    EXPECT_NEAR(test::ProbeDurationMs(dir / "out.mp3"), 2500, 4 * 26.2);
    EXPECT_TRUE(test::DecodesCleanly(dir / "out.mp3"));
    EXPECT_EQ(Leftovers(), 0u);
}

// Convert in auto mode: WAV and MP3 at different rates become one stereo MP3 at the highest
// rate; the tone keeps its frequency and level and the length is the sum.
TEST_F(MergeEndToEndTest, ConvertMergeOfMixedFormats) {
    auto a = Wav("a.wav", 44100, 2, 1500);
    auto b =
        test::MakeMp3(dir.Path(), "b.mp3", {{440, 1000, 0.5}}, {"-b", "64", "-m", "m"}, 22050, 1);
    AddRow(a, 44100, -1, 1411, audio::AudioType::Wav);
    AddRow(b, 22050, 3, 64, audio::AudioType::Mpeg);
    options.gapless = false;
    auto outcome = Run("out.mp3");
    ASSERT_EQ(outcome.end, MergeJobEnd::Done);
    EXPECT_EQ(outcome.mode, MergeMode::Convert);
    EXPECT_EQ(outcome.sampleRate, 44100);
    EXPECT_EQ(outcome.channels, 2);
    test::DecodedAudio audio = test::DecodeWithFfmpeg(dir / "out.mp3");
    EXPECT_EQ(audio.sampleRate, 44100);
    EXPECT_EQ(audio.channels, 2);
    // The sources' lengths, or a little more where a decoder keeps an encoder's delay.
    EXPECT_GE(audio.DurationMs(), 2500 - 1);
    EXPECT_LE(audio.DurationMs(), 1500 + test::ProbeDurationMs(b) + test::EncoderSlackMs(44100));
    EXPECT_NEAR(test::ToneFrequency(audio, 200, 1300), 440, 2);
    EXPECT_NEAR(test::ToneFrequency(audio, 1800, 2300, 1), 440, 2);
    EXPECT_NEAR(test::RmsLevel(audio, 200, 1300), 0.5 / std::sqrt(2.0), 0.02);
    // The MP3 part keeps the level its source decodes at.
    test::DecodedAudio source = test::DecodeWithFfmpeg(b);
    EXPECT_NEAR(test::RmsLevel(audio, 1800, 2300, 1), test::RmsLevel(source, 200, 800), 0.02);
    MpegAnalysis info;
    ASSERT_TRUE(info.Open((dir / "out.mp3").string()));
    EXPECT_GT(info.dataStart, 1000u);  // behind the ID3v2 tag
    EXPECT_EQ(info.artist, "Someone");
    EXPECT_EQ(Leftovers(), 0u);
}

// All-mono sources at 16 and 32 kHz: mono at 32 kHz; gapless keeps the length within the
// trimmed join.
TEST_F(MergeEndToEndTest, ConvertMergeMonoAtTheHighestRate) {
    auto a = Wav("a.wav", 16000, 1, 1000);
    auto b = Wav("b.wav", 32000, 1, 1000);
    AddRow(a, 16000, -1, 256, audio::AudioType::Wav, 1);
    AddRow(b, 32000, -1, 512, audio::AudioType::Wav, 1);
    options.tags.writeId3v1 = options.tags.writeId3v2 = false;
    auto outcome = Run("out.mp3");
    ASSERT_EQ(outcome.end, MergeJobEnd::Done);
    test::DecodedAudio audio = test::DecodeWithFfmpeg(dir / "out.mp3");
    EXPECT_EQ(audio.sampleRate, 32000);
    EXPECT_EQ(audio.channels, 1);
    EXPECT_GE(audio.DurationMs(), 2000 - 100);
    EXPECT_LE(audio.DurationMs(), 2000 + test::EncoderSlackMs(32000));
    EXPECT_NEAR(test::ToneFrequency(audio, 200, 1800), 440, 2);
    auto out = test::ReadFileBytes(dir / "out.mp3");
    EXPECT_NE(std::string(out.begin(), out.begin() + 3), "ID3");
}

// A source that cannot be decoded, aborted: no output, no temporary file.
TEST_F(MergeEndToEndTest, AbortedConvertLeavesNothing) {
    auto a = Wav("a.wav", 44100, 2, 500);
    test::WriteFileText(dir / "bad.wav", "not a wave file at all");
    AddRow(a, 44100, -1, 1411, audio::AudioType::Wav);
    AddRow(dir / "bad.wav", 44100, -1, 1411, audio::AudioType::Wav);
    host.failureAnswers = {FailureAnswer::Abort};
    EXPECT_EQ(Run("out.mp3").end, MergeJobEnd::Stopped);
    EXPECT_FALSE(fs::exists(dir / "out.mp3"));
    EXPECT_EQ(Leftovers(), 0u);
}

}  // namespace
}  // namespace partita
