#include <algorithm>
#include <cmath>

#include "audio/audio_engine.h"
#include "audio_fixtures.h"

namespace partita {
namespace {

using audio::OpenAudioStream;
using audio::OpenOptions;
using test::ToneSegment;

class AudioStreamTest : public test::TempDirTest {
  protected:
    std::unique_ptr<audio::AudioStream> Open(const test::fs::path& path, OpenOptions options = {}) {
        audio::OpenResult result = OpenAudioStream(path, options);
        EXPECT_TRUE(result) << path << " error " << audio::ToInt(result.error);
        return std::move(result.stream);
    }

    static test::DecodedPcm ReadAll(audio::AudioStream& stream, std::size_t chunk = 3000) {
        test::DecodedPcm pcm;
        pcm.channels = stream.Format().channels;
        std::vector<std::int16_t> buffer(chunk * pcm.channels);
        while (std::size_t got = stream.ReadPcm(buffer.data(), chunk))
            pcm.samples.insert(pcm.samples.end(), buffer.begin(),
                               buffer.begin() + got * pcm.channels);
        return pcm;
    }

    static double Rms(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
        double sum = 0;
        for (std::size_t i = from; i < to; ++i)
            sum += double(samples[i]) * samples[i];
        return std::sqrt(sum / double(to - from));
    }
};

// A WAV file is PCM: exact length, data offsets of the RIFF chunks, samples as written.
TEST_F(AudioStreamTest, WavDeliversItsSamplesExactly) {
    auto samples = test::SynthesizePcm({{440, 1000, 0.5}, {0, 500}}, 44100, 2);
    test::WriteWav(dir / "a.wav", samples, 44100, 2);
    auto stream = Open(dir / "a.wav");
    ASSERT_TRUE(stream);
    const auto& info = stream->Info();
    EXPECT_EQ(info.container, "wav");
    EXPECT_TRUE(info.pcm);
    EXPECT_TRUE(info.exactLength);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.blockAlign, 4);
    EXPECT_EQ(info.durationMs, 1500u);
    EXPECT_EQ(info.dataStart, 44u);
    EXPECT_EQ(info.dataEnd, 44u + samples.size() * 2);
    EXPECT_EQ(stream->SeekFileOffset(), 44u);
    auto pcm = ReadAll(*stream);
    EXPECT_EQ(pcm.samples, samples);
    EXPECT_TRUE(stream->AtEnd());
    EXPECT_EQ(stream->PositionMs(), 1500u);
}

// Seeking in PCM lands on the sample frame of the time and reading goes on from that sample.
TEST_F(AudioStreamTest, WavSeekLandsOnSampleFrames) {
    auto samples = test::SynthesizePcm({{300, 2000, 0.7}}, 22050, 1);
    test::WriteWav(dir / "m.wav", samples, 22050, 1);
    auto stream = Open(dir / "m.wav");
    ASSERT_TRUE(stream);
    for (std::uint64_t ms : {1u, 333u, 1000u, 1999u}) {
        ASSERT_TRUE(stream->Seek(ms));
        std::uint64_t frame = ms * 22050 / 1000;
        EXPECT_EQ(stream->SeekFileOffset(), 44 + frame * 2) << ms;
        EXPECT_EQ(stream->PositionFrames(), frame);
        std::int16_t got[64];
        std::size_t wanted = std::min<std::size_t>(64, samples.size() - frame);
        ASSERT_EQ(stream->ReadPcm(got, 64), wanted) << ms;
        EXPECT_TRUE(std::equal(got, got + wanted, samples.begin() + frame)) << ms;
    }
    // At or past the end: the end of the data, nothing more to read.
    ASSERT_TRUE(stream->Seek(5000));
    EXPECT_EQ(stream->SeekFileOffset(), 44 + samples.size() * 2);
    std::int16_t none[4];
    EXPECT_EQ(stream->ReadPcm(none, 4), 0u);
    // Back to the start reads the first sample again.
    ASSERT_TRUE(stream->Seek(0));
    EXPECT_EQ(stream->SeekFileOffset(), 44u);
    ASSERT_EQ(stream->ReadPcm(none, 4), 4u);
    EXPECT_TRUE(std::equal(none, none + 4, samples.begin()));
}

// MP3 lengths agree with mpg123 (which also leaves out the encoder delay and padding): counted
// exactly with the pre-scan, within one frame from the header without it.
TEST_F(AudioStreamTest, Mp3LengthMatchesAnIndependentDecoder) {
    auto cbr = test::MakeMp3(dir.Path(), "cbr.mp3", {{440, 2500, 0.5}}, {"-b", "128"});
    auto vbr =
        test::MakeMp3(dir.Path(), "vbr.mp3", {{440, 1200, 0.5}, {0, 800}, {880, 900}}, {"-V", "4"});
    auto mono = test::MakeMp3(dir.Path(), "mono.mp3", {{440, 1700, 0.5}}, {"-b", "64"}, 22050, 1);
    for (const auto& file : {cbr, vbr, mono}) {
        std::int64_t expected = test::Mpg123Frames(file);
        ASSERT_GT(expected, 0) << file;
        for (bool prescan : {false, true}) {
            OpenOptions options;
            options.prescan = prescan;
            auto stream = Open(file, options);
            ASSERT_TRUE(stream);
            const auto& info = stream->Info();
            EXPECT_EQ(info.container, "mp3");
            EXPECT_EQ(info.codec, "mp3");
            EXPECT_EQ(info.exactLength, prescan);
            double frameMs = 1152000.0 / info.sampleRate / (info.sampleRate < 32000 ? 2 : 1);
            double expectedMs = expected * 1000.0 / info.sampleRate;
            EXPECT_NEAR(double(info.durationMs), expectedMs, prescan ? 1.0 : frameMs) << file;
            auto pcm = ReadAll(*stream);
            EXPECT_EQ(std::int64_t(pcm.Frames()), expected) << file;
        }
    }
}

// With the pre-scan a seek lands exactly on the frame that holds the time; without it on a
// frame start near it. The time-to-frame rule counts the encoder delay that the stream's
// timeline leaves out.
TEST_F(AudioStreamTest, Mp3SeekLandsOnFrameStarts) {
    auto cbr = test::MakeMp3(dir.Path(), "cbr.mp3", {{440, 4000, 0.5}}, {"-b", "160"});
    auto vbr = test::MakeMp3(dir.Path(), "vbr.mp3", {{440, 1500, 0.3}, {0, 1000}, {660, 1500}},
                             {"-V", "2"});
    for (const auto& file : {cbr, vbr}) {
        auto frames = test::MpegFrameStarts(file);
        ASSERT_GT(frames.size(), 100u);
        double delay = test::ProbeStartSeconds(file) * 44100;
        ASSERT_GT(delay, 0);
        for (bool prescan : {true, false}) {
            OpenOptions options;
            options.prescan = prescan;
            auto stream = Open(file, options);
            ASSERT_TRUE(stream);
            // The first audio frame follows the LAME Info frame.
            EXPECT_EQ(stream->Info().dataStart, frames[1]);
            EXPECT_EQ(stream->Info().dataEnd, test::fs::file_size(file));
            for (std::uint64_t ms : {0u, 10u, 1000u, 1234u, 2500u, 3900u}) {
                ASSERT_TRUE(stream->Seek(ms)) << ms;
                std::uint64_t offset = stream->SeekFileOffset();
                auto at = std::find(frames.begin(), frames.end(), offset);
                ASSERT_NE(at, frames.end()) << file << " " << ms << " prescan " << prescan;
                auto expected =
                    1 + static_cast<std::ptrdiff_t>((double(ms) * 44.1 + delay) / 1152.0);
                if (prescan)
                    EXPECT_EQ(at - frames.begin(), expected) << file << " " << ms;
                else
                    EXPECT_NEAR(double(at - frames.begin()), double(expected), 2.0) << file << ms;
            }
            ASSERT_TRUE(stream->Seek(60000));
            EXPECT_EQ(stream->SeekFileOffset(), stream->Info().dataEnd);
        }
    }
}

// After a pre-scanned seek, decoding continues with the very samples a decode from the start
// gives at that time.
TEST_F(AudioStreamTest, Mp3SeekIsSampleAccurate) {
    auto file =
        test::MakeMp3(dir.Path(), "a.mp3", {{440, 1000, 0.5}, {1000, 1000, 0.5}}, {"-V", "3"});
    OpenOptions options;
    options.prescan = true;
    auto stream = Open(file, options);
    ASSERT_TRUE(stream);
    auto whole = ReadAll(*stream);
    for (std::uint64_t ms : {700u, 1000u, 1503u}) {
        ASSERT_TRUE(stream->Seek(ms));
        EXPECT_EQ(stream->PositionFrames(), stream->Format().FramesForMs(ms));
        std::vector<std::int16_t> part(2 * 2000);
        ASSERT_EQ(stream->ReadPcm(part.data(), 2000), 2000u);
        std::size_t from = ms * 441 / 10 * 2;
        int worst = 0;
        for (std::size_t i = 0; i < part.size(); ++i)
            worst = std::max(worst, std::abs(part[i] - whole.samples[from + i]));
        EXPECT_LE(worst, 2) << ms;
    }
}

// Ogg Vorbis, AIFF and WMA made by ffmpeg: their lengths agree with ffprobe within one codec
// frame, and decoding yields that length.
TEST_F(AudioStreamTest, OtherFormatsAgreeWithFfprobe) {
    std::vector<ToneSegment> tone{{440, 1800, 0.5}, {0, 300}};
    struct Case {
        std::string name;
        std::vector<std::string> options;
        std::string container;
        std::string codec;
        double frameMs;
    };
    std::vector<Case> cases{
        {"a.ogg", {"-c:a", "libvorbis"}, "ogg", "vorbis", 2048000.0 / 44100},
        {"a.aiff", {}, "aiff", "pcm_s16be", 1},
        {"a.wma", {"-c:a", "wmav2"}, "asf", "wmav2", 2048000.0 / 44100},
    };
    for (const auto& c : cases) {
        auto file = test::MakeEncodedFile(dir.Path(), c.name, tone, c.options);
        double probed = test::ProbeDurationMs(file);
        for (bool prescan : {false, true}) {
            OpenOptions options;
            options.prescan = prescan;
            auto stream = Open(file, options);
            ASSERT_TRUE(stream) << c.name;
            EXPECT_EQ(stream->Info().container, c.container);
            EXPECT_EQ(stream->Info().codec, c.codec);
            EXPECT_NEAR(double(stream->Info().durationMs), probed, c.frameMs) << c.name;
            auto pcm = ReadAll(*stream);
            EXPECT_NEAR(pcm.Frames() * 1000.0 / 44100, probed, c.frameMs) << c.name;
        }
    }
}

// Converting 44.1 kHz stereo to 22.05 kHz mono keeps the length and the level; mono to stereo
// puts the same signal in both channels.
TEST_F(AudioStreamTest, ConversionKeepsLengthAndLevel) {
    auto wav = test::MakeWavFile(dir.Path(), "s.wav", {{1000, 2000, 0.5}});
    auto mp3 = test::MakeMp3(dir.Path(), "s.mp3", {{1000, 2000, 0.5}}, {"-b", "192"});
    for (const auto& file : {wav, mp3}) {
        auto source = Open(file);
        ASSERT_TRUE(source);
        auto original = ReadAll(*source);
        ASSERT_EQ(original.Frames(), 88200u);
        double level = Rms(original.samples, 4000, original.samples.size() - 4000);
        EXPECT_NEAR(level, 16384 / std::sqrt(2.0), 16384 * 0.05) << file;

        OpenOptions options;
        options.sampleRate = 22050;
        options.channels = 1;
        auto stream = Open(file, options);
        ASSERT_TRUE(stream);
        EXPECT_EQ(stream->Format().sampleRate, 22050);
        EXPECT_EQ(stream->Format().channels, 1);
        auto pcm = ReadAll(*stream, 1000);
        EXPECT_NEAR(double(pcm.Frames()), 44100.0, 2.0) << file;
        EXPECT_NEAR(Rms(pcm.samples, 2000, pcm.samples.size() - 2000), level, level * 0.01) << file;
        EXPECT_NEAR(stream->PositionMs(), 2000.0, 1.0);
    }
    // Mono 22.05 kHz to stereo 44.1 kHz.
    auto monoWav = test::MakeWavFile(dir.Path(), "m.wav", {{500, 1000, 0.25}}, 22050, 1);
    OpenOptions options;
    options.sampleRate = 44100;
    options.channels = 2;
    auto stream = Open(monoWav, options);
    ASSERT_TRUE(stream);
    auto pcm = ReadAll(*stream);
    EXPECT_NEAR(double(pcm.Frames()), 44100.0, 2.0);
    for (std::size_t i = 0; i + 1 < pcm.samples.size(); i += 2)
        ASSERT_EQ(pcm.samples[i], pcm.samples[i + 1]) << i;
    EXPECT_NEAR(Rms(pcm.samples, 4000, pcm.samples.size() - 4000), 8192 / std::sqrt(2.0), 200);
}

// Stereo to mono averages the channels: a tone in the left channel only comes out at half level.
TEST_F(AudioStreamTest, DownmixAveragesTheChannels) {
    auto left = test::SynthesizePcm({{1000, 500, 0.8}}, 44100, 1);
    std::vector<std::int16_t> stereo;
    for (std::int16_t s : left) {
        stereo.push_back(s);
        stereo.push_back(0);
    }
    test::WriteWav(dir / "l.wav", stereo, 44100, 2);
    OpenOptions options;
    options.channels = 1;
    auto stream = Open(dir / "l.wav", options);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Format().sampleRate, 44100);
    auto pcm = ReadAll(*stream);
    ASSERT_EQ(pcm.Frames(), left.size());
    for (std::size_t i = 0; i < left.size(); ++i)
        ASSERT_NEAR(pcm.samples[i], left[i] / 2.0, 1.0) << i;
}

// A converting stream seeks in its own rate: position and the bytes of a time follow it.
TEST_F(AudioStreamTest, ConvertedStreamSeeksAndCountsInItsFormat) {
    auto wav = test::MakeWavFile(dir.Path(), "s.wav", {{440, 3000, 0.5}});
    OpenOptions options;
    options.sampleRate = 8000;
    options.channels = 2;
    auto stream = Open(wav, options);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Format().BytesForMs(10000), 320000u);
    ASSERT_TRUE(stream->Seek(1000));
    EXPECT_EQ(stream->PositionFrames(), 8000u);
    auto rest = ReadAll(*stream);
    EXPECT_NEAR(double(rest.Frames()), 16000.0, 2.0);
    EXPECT_NEAR(double(stream->PositionFrames()), 24000.0, 2.0);
}

// Peak levels come in 20 ms blocks, per channel, 0 … 32768, over the whole stream.
TEST_F(AudioStreamTest, PeakLevelsOfTwentyMillisecondBlocks) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 44100; ++i) {  // 1 s: left ±16000, right ±8000
        samples.push_back(i % 2 ? 16000 : -16000);
        samples.push_back(i % 2 ? 8000 : -8000);
    }
    samples.resize(samples.size() + 2 * 22050, 0);  // 0.5 s of silence
    samples.push_back(-32768);                      // one full-scale sample in a last short block
    samples.push_back(32767);
    test::WriteWav(dir / "l.wav", samples, 44100, 2);
    auto stream = Open(dir / "l.wav");
    ASSERT_TRUE(stream);
    std::vector<audio::PeakLevel> levels;
    audio::PeakLevel level;
    while (stream->ReadPeakLevel(level))
        levels.push_back(level);
    ASSERT_EQ(levels.size(), 76u);  // 66150 frames + 1 in blocks of 882
    EXPECT_EQ(levels[0].left, 16000u);
    EXPECT_EQ(levels[0].right, 8000u);
    EXPECT_EQ(levels[49].left, 16000u);
    EXPECT_EQ(levels[50].left, 0u);
    EXPECT_EQ(levels[74].right, 0u);
    EXPECT_EQ(levels[75].left, 32768u);
    EXPECT_EQ(levels[75].right, 32767u);
    EXPECT_NEAR(stream->PositionSeconds(), 1.5, 0.001);

    // A mono MP3 with a pause: the pause reads near 0 in both levels.
    auto mp3 = test::MakeMp3(dir.Path(), "p.mp3", {{440, 1000, 0.5}, {0, 1000}, {440, 1000, 0.5}},
                             {"-b", "96"}, 44100, 1);
    auto decoded = Open(mp3);
    ASSERT_TRUE(decoded);
    std::vector<audio::PeakLevel> peaks;
    while (decoded->ReadPeakLevel(level))
        peaks.push_back(level);
    ASSERT_NEAR(double(peaks.size()), 150.0, 1.0);
    EXPECT_NEAR(double(peaks[25].left), 16384.0, 1000.0);
    EXPECT_EQ(peaks[25].left, peaks[25].right);
    EXPECT_LT(peaks[75].left, 100u);
    EXPECT_NEAR(double(peaks[125].left), 16384.0, 1000.0);
}

}  // namespace
}  // namespace partita
