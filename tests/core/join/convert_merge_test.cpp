#include "join/convert_merge.h"

#include <cmath>
#include <cstdlib>

#include "audio_check.h"
#include "fake_pcm.h"
#include "join/encoder_command.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

class ConvertMergeTest : public test::TempDirTest {
  protected:
    test::FakePcmDecoder decoder;
    test::FakePcmSink sink;
    test::ScriptedHost host;
    ConvertOptions options;

    // A clip in the output format of `options`.
    const std::vector<std::int16_t>& Clip(const std::string& path,
                                          const std::vector<test::ToneSegment>& segments) {
        auto& clip = decoder.clips[path];
        clip.channels = options.channels;
        clip.sampleRate = options.sampleRate;
        clip.samples = test::SynthesizePcm(segments, static_cast<std::uint32_t>(options.sampleRate),
                                           static_cast<std::uint16_t>(options.channels));
        return clip.samples;
    }
    MergeSource Source(const std::string& path, int silence = 0, std::uint64_t start = 0,
                       std::uint64_t end = 0) {
        return MergeSource{path, path + ".name", PartialRange{start, end}, silence};
    }
    MergeResult Run(const std::vector<MergeSource>& sources) {
        return ConvertMerge(sources, options, decoder, sink, host);
    }
};

// Without gapless every decoded byte reaches the encoder in order, then the silence as zero
// bytes: 2 s at 44100 Hz stereo is 352,800 bytes.
TEST_F(ConvertMergeTest, EveryByteAndTheSilence) {
    options.gapless = false;
    options.chunkBytes = 30'000;
    auto a = Clip("a", {{440, 300}});
    auto b = Clip("b", {{660, 250}});
    ASSERT_EQ(Run({Source("a", 2), Source("b")}), MergeResult::Done);
    std::vector<std::int16_t> expected = a;
    expected.insert(expected.end(), 352'800 / 2, 0);
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(sink.Samples(), expected);
    EXPECT_EQ(host.lastProgress, 2u);
    EXPECT_EQ(host.lastRange, 2u);
    ASSERT_EQ(host.statuses.size(), 2u);
    EXPECT_EQ(host.statuses[1], "正在合并 # 02/02 - b.name (完全合并)");
}

// A range from 0:00:10 to 0:00:20 contributes exactly 10 s of PCM, starting at 10 s.
TEST_F(ConvertMergeTest, PartialRangeContributesItsLength) {
    options.gapless = false;
    options.sampleRate = 8000;
    options.channels = 1;
    options.chunkBytes = 7'000;
    auto a = Clip("a", {{100, 10'000}, {200, 10'000}, {300, 5'000}});
    ASSERT_EQ(Run({Source("a", 0, 10'000, 20'000)}), MergeResult::Done);
    EXPECT_EQ(sink.bytes.size(), 160'000u);
    EXPECT_EQ(decoder.seeks, std::vector<std::uint64_t>{10'000});
    std::vector<std::int16_t> expected(a.begin() + 80'000, a.begin() + 160'000);
    EXPECT_EQ(sink.Samples(), expected);
    EXPECT_EQ(host.statuses[0], "正在合并 # 01/01 - a.name (部分合并)");
    // A start alone runs to the end of the source.
    sink.bytes.clear();
    ASSERT_EQ(Run({Source("a", 0, 20'000, 0)}), MergeResult::Done);
    EXPECT_EQ(sink.bytes.size(), 80'000u);
}

// Gapless with one file trims nothing.
TEST_F(ConvertMergeTest, GaplessSingleFileUntouched) {
    options.chunkBytes = 20'000;
    auto a = Clip("a", {{440, 500}});
    ASSERT_EQ(Run({Source("a")}), MergeResult::Done);
    EXPECT_EQ(sink.Samples(), a);
}

// Gapless joins drop the end of the earlier file and the quiet lead-in of the later one, on
// whole stereo frames; the kept level of the earlier file sets the later file's threshold.
TEST_F(ConvertMergeTest, GaplessTrimsTheJoin) {
    options.chunkBytes = 40'000;  // several chunks per file: the saved tail is used
    const std::size_t w = 4410;   // 44100 / 10
    auto a = Clip("a", {{441, 1000, 0.5}});
    // The second file: 30 ms of silence, 20 ms of a faint tone, then the loud tone.
    auto b = Clip("b", {{0, 30}, {441, 20, 0.05}, {441, 500, 0.5}});
    ASSERT_EQ(Run({Source("a"), Source("b")}), MergeResult::Done);
    for (std::size_t size : sink.writes)
        EXPECT_EQ(size % 4, 0u) << size;

    // The final chunk of a (176,400 bytes = 4 × 40,000 + 16,400) loses W bytes rounded to a
    // whole frame.
    std::size_t hold = w - w % 4;
    std::size_t keptA = a.size() * 2 - hold;
    ASSERT_GT(sink.bytes.size(), keptA);
    std::vector<std::int16_t> out = sink.Samples();
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + keptA / 2, out.begin()));
    // The later file starts inside its loud part: its mean level at the end of a is about
    // 0.5 × 2/π of full scale, and the faint part stays under 61.8 % of it.
    std::size_t skipped = b.size() - (out.size() - keptA / 2);
    std::size_t loudStart = (50 * 44100 / 1000) * 2;
    EXPECT_GE(skipped, loudStart);
    EXPECT_LT(skipped, loudStart + 2 * 100);  // within a few samples of its first loud one
    EXPECT_EQ(skipped % 2, 0u);
    EXPECT_TRUE(std::equal(out.begin() + keptA / 2, out.end(), b.begin() + skipped));
}

// A source that cannot be decoded: Retry opens it again, Ignore leaves it and its silence out,
// Abort stops the run.
TEST_F(ConvertMergeTest, SourceFailures) {
    options.gapless = false;
    auto a = Clip("a", {{440, 100}});
    Clip("b", {{440, 100}});
    decoder.failuresLeft["b"] = 1;
    host.failureAnswers = {FailureAnswer::Ignore, FailureAnswer::Retry};
    ASSERT_EQ(Run({Source("missing", 3), Source("b"), Source("gone", 5), Source("a")}),
              MergeResult::Done);
    EXPECT_EQ(sink.bytes.size(), 2 * a.size() * 2);  // b and a, no silence of the missing
    EXPECT_EQ(decoder.opened, (std::vector<std::string>{"missing", "b", "b", "gone", "a"}));
    EXPECT_EQ(host.messages.size(), 3u);
    EXPECT_EQ(host.messages[0].id, Msg::CannotLoadFile);
    EXPECT_EQ(host.messages[0].text, "未能载入文件“missing”");

    host.failureAnswers = {FailureAnswer::Abort};
    EXPECT_EQ(Run({Source("missing"), Source("a")}), MergeResult::Stopped);
}

// A stop request asks ConfirmStopMerge: No goes on, Yes stops after the current chunk.
TEST_F(ConvertMergeTest, StopRequests) {
    options.gapless = false;
    options.chunkBytes = 4'000;
    Clip("a", {{440, 200}});
    host.stopAtCall = {2};
    host.yesNoAnswers = {false};
    EXPECT_EQ(Run({Source("a")}), MergeResult::Done);
    EXPECT_EQ(host.questions.size(), 1u);
    std::size_t whole = sink.bytes.size();
    sink.bytes.clear();
    host.stopCalls = 0;
    host.stopAtCall = {3};
    host.yesNoAnswers = {true};
    EXPECT_EQ(Run({Source("a")}), MergeResult::Stopped);
    EXPECT_EQ(sink.bytes.size(), 3 * 4'000u);
    EXPECT_LT(sink.bytes.size(), whole);
}

// An encoder that has ended fails the run with 297, also when a write finds its pipe broken;
// a write refused for another reason gives 308 with the error.
TEST_F(ConvertMergeTest, EncoderFailures) {
    Clip("a", {{440, 200}});
    sink.active = false;
    EXPECT_EQ(Run({Source("a")}), MergeResult::Failed);
    EXPECT_EQ(host.messages.back().id, Msg::EncoderFailed);
    sink.active = true;
    sink.failAfterWrites = 0;
    EXPECT_EQ(Run({Source("a")}), MergeResult::Failed);
    EXPECT_EQ(host.messages.back().id, Msg::EncoderFailed);
    sink.writeError = EIO;
    EXPECT_EQ(Run({Source("a")}), MergeResult::Failed);
    ASSERT_EQ(host.messages.back().id, Msg::EncoderWriteFailed);
    EXPECT_NE(host.messages.back().text.find(std::to_string(EIO)), std::string::npos);
}

// Through the real encoder: a missing one gives 296; a 440 Hz tone comes back at its frequency,
// level and length, mono as asked.
TEST_F(ConvertMergeTest, ThroughTheEncoder) {
    std::vector<MergeSource> sources{Source("a"), Source("b")};
    EXPECT_EQ(RunConvertMerge((dir / "no-lame").string(), (dir / "x.mp3").string(), sources,
                              options, decoder, host),
              MergeResult::Failed);
    EXPECT_TRUE(host.Showed(Msg::EncoderNotStarted));
    EXPECT_FALSE(std::filesystem::exists(dir / "x.mp3"));

    std::string lame = FindEncoder("", "", std::getenv("PATH"));
    options.sampleRate = 32000;
    options.channels = 1;
    options.gapless = false;
    Clip("a", {{440, 1000, 0.5}});
    Clip("b", {{440, 1000, 0.5}});
    std::string out = (dir / "out.mp3").string();
    ASSERT_EQ(RunConvertMerge(lame, out, sources, options, decoder, host), MergeResult::Done);
    test::DecodedAudio decoded = test::DecodeWithFfmpeg(out);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_EQ(decoded.sampleRate, 32000);
    EXPECT_GE(decoded.DurationMs(), 2000 - 1);
    EXPECT_LE(decoded.DurationMs(), 2000 + test::EncoderSlackMs(32000));
    EXPECT_NEAR(test::ToneFrequency(decoded, 200, 1800), 440, 2);
    EXPECT_NEAR(test::RmsLevel(decoded, 200, 1800), 0.5 / std::sqrt(2.0), 0.02);
}

}  // namespace
}  // namespace partita
