#include <map>

#include "audio/audio_engine.h"
#include "audio_fixtures.h"

namespace partita {
namespace {

using audio::OpenAudioStream;
using audio::OpenError;
using audio::OpenOptions;

// Reads a stream to its end, as PCM and as levels, seeks around and reads again; returns the
// frames read in the first pass. Bounded, so a stream that never ends fails instead of hanging.
std::uint64_t Exercise(audio::AudioStream& stream) {
    const int channels = stream.Format().channels;
    std::vector<std::int16_t> buffer(1024 * channels);
    std::uint64_t frames = 0;
    for (int round = 0; round < 100000; ++round) {
        std::size_t got = stream.ReadPcm(buffer.data(), 1024);
        if (got == 0)
            break;
        frames += got;
    }
    EXPECT_TRUE(stream.AtEnd());
    std::uint64_t duration = stream.DurationMs();
    for (std::uint64_t ms :
         {duration / 2, duration > 5 ? duration - 5 : 0, duration + 1000, std::uint64_t{0}}) {
        if (!stream.Seek(ms))
            continue;
        EXPECT_GE(stream.SeekFileOffset(), stream.Info().dataStart);
        EXPECT_LE(stream.SeekFileOffset(), stream.Info().dataEnd);
        audio::PeakLevel level;
        for (int block = 0; block < 100000 && stream.ReadPeakLevel(level); ++block) {
            EXPECT_LE(level.left, 32768u);
            EXPECT_LE(level.right, 32768u);
        }
    }
    return frames;
}

// Every file of the corpus opens or fails with a reason, and an opened one reads to a bounded
// end without a crash, a hang or a sanitizer report, with and without the pre-scan.
TEST(AudioCorpusTest, EveryFileOpensOrFailsCleanly) {
    std::vector<std::string> names;
    for (const auto& entry :
         test::fs::directory_iterator(test::CorpusFile("alaw.wav").parent_path()))
        names.push_back(entry.path().filename().string());
    ASSERT_GT(names.size(), 30u);
    for (const std::string& name : names) {
        for (bool prescan : {false, true}) {
            OpenOptions options;
            options.prescan = prescan;
            auto opened = OpenAudioStream(test::CorpusFile(name), options);
            if (!opened) {
                EXPECT_NE(opened.error, OpenError::None) << name;
                continue;
            }
            const auto& info = opened.stream->Info();
            EXPECT_GT(info.sampleRate, 0) << name;
            EXPECT_GT(info.channels, 0) << name;
            EXPECT_LE(info.dataStart, info.dataEnd) << name;
            EXPECT_LE(info.dataEnd, info.fileSize) << name;
            std::uint64_t frames = Exercise(*opened.stream);
            // What was read stays within the stated length and a codec frame of slack.
            EXPECT_LE(frames * 1000 / std::uint64_t(info.sampleRate), info.durationMs + 100)
                << name;
        }
    }
}

// The damaged files of the corpus are refused as damaged (a WMA header without any audio
// packet among them).
TEST(AudioCorpusTest, DamagedFilesAreRefused) {
    for (const char* name : {"invalid-chunk.wav", "segfault.wav", "segfault.aif",
                             "excessive_alloc.aif", "lowercase-fields.ogg", "real_example.wma"}) {
        auto opened = OpenAudioStream(test::CorpusFile(name));
        EXPECT_FALSE(opened) << name;
        EXPECT_EQ(opened.error, OpenError::Damaged) << name;
    }
}

// Odd but sound files agree with ffprobe on their facts: RF64, A-law, 8-bit, 64-bit float, a
// zero-size chunk, AIFF with 24-bit samples, Ogg with a video stream, WMA lossless.
TEST(AudioCorpusTest, OddFilesAgreeWithFfprobe) {
    struct Expected {
        int rate;
        int channels;
        double frameMs;  // one codec frame: the allowed difference
    };
    const std::map<std::string, Expected> files{
        {"rf64.wav", {48000, 2, 1}},
        {"alaw.wav", {8000, 2, 1}},
        {"uint8we.wav", {8000, 2, 1}},
        {"float64.wav", {44100, 2, 1}},
        {"zero-size-chunk.wav", {44100, 2, 1}},
        {"infloop.wav", {11025, 1, 1}},
        {"pcm_with_fact_chunk.wav", {1000, 2, 1}},
        {"noise.aif", {44100, 1, 1}},
        {"duplicate_id3v2.aiff", {44100, 1, 1}},
        {"test.ogg", {44100, 2, 47}},
        {"multiplex.ogg", {48000, 2, 43}},
        {"lossless.wma", {44100, 2, 47}},
        {"silence-1.wma", {48000, 2, 43}},
    };
    for (const auto& [name, expected] : files) {
        auto file = test::CorpusFile(name);
        auto opened = OpenAudioStream(file);
        ASSERT_TRUE(opened) << name << " " << audio::ToInt(opened.error);
        const auto& info = opened.stream->Info();
        EXPECT_EQ(info.sampleRate, expected.rate) << name;
        EXPECT_EQ(info.channels, expected.channels) << name;
        EXPECT_NEAR(double(info.durationMs), test::ProbeDurationMs(file), expected.frameMs) << name;
    }
}

}  // namespace
}  // namespace partita
