// Cuts that gapless players hear as their source, on files lame makes. By default each output's
// LAME tag is its own (the source's delay only at the source's start, its padding only at its
// end, its music length, a valid CRC) and the outputs play the source less 529 samples a cut;
// joined again they are the source. Sample-accurate outputs play the source sample for sample
// in ffmpeg and in mpg123.

#include <cstdio>

#include "join/direct_merge.h"
#include "mpeg/lame_tag.h"
#include "mpeg/stream_check.h"
#include "split/gapless_cut.h"
#include "split/split_engine.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

namespace fs = std::filesystem;
using Pcm = std::vector<std::int16_t>;

// 5.5 s of tones, rests and level changes.
const std::vector<test::ToneSegment> kMusic{
    {440, 1200}, {0, 400}, {660, 1500, 0.7}, {330, 1300}, {880, 1100, 0.3}};

class GaplessSplitTest : public test::TempDirTest {
  protected:
    // Cuts `source` into the tracks between `points` (ms), the last up to its end.
    std::vector<fs::path> Split(const fs::path& source, std::vector<std::uint64_t> points,
                                bool sampleAccurate) {
        SplitSource prepared = PrepareSource(source.string(), SplitMode::Auto);
        EXPECT_TRUE(prepared.mpeg) << source;
        points.insert(points.begin(), 0);
        points.push_back(prepared.durationMs);
        std::vector<fs::path> outputs;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            fs::path out = dir / (source.stem().string() + "-" + std::to_string(i + 1) + ".mp3");
            CutOutcome outcome =
                sampleAccurate ? CutMpegTrackSampleAccurate(prepared, out.string(), points[i],
                                                            points[i + 1], {}, true, "ISO-8859-1")
                               : CutMpegTrack(prepared, out.string(), points[i], points[i + 1], {},
                                              true, "ISO-8859-1");
            EXPECT_EQ(outcome, CutOutcome::Written) << out;
            outputs.push_back(out);
        }
        return outputs;
    }

    test::ScriptedHost host;
};

Pcm Joined(const std::vector<fs::path>& files, const std::string& decoder) {
    Pcm all;
    for (const fs::path& file : files) {
        Pcm part = test::DecodePcm(file, decoder);
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The Xing table of a file: entry i is the share (of 256) of the bytes before the frame where
// i % of its frames begin.
void ExpectTocDescribesFile(const fs::path& file, const StreamCheck& check) {
    std::vector<std::uint8_t> bytes = test::ReadFileBytes(file);
    const std::size_t toc = check.headerFramePos + 4 + SideInfoSize(check.header) + 16;
    const std::vector<std::uint64_t>& starts = check.frames.starts;
    for (std::size_t i = 0; i < 100; ++i) {
        const std::uint64_t at = starts[i * starts.size() / 100] - check.headerFramePos;
        EXPECT_NEAR(bytes[toc + i], 256.0 * at / check.CountedBytes(), 1.0) << file << " " << i;
    }
}

// Default cuts: every output's tag is its own, the outputs play the source less 529 samples a
// cut, and a direct join of the outputs is the source again, frames and samples.
TEST_F(GaplessSplitTest, DefaultCutsKeepTagsTrueAndJoinBack) {
    const std::pair<const char*, std::vector<std::string>> sources[] = {
        {"cbr.mp3", {"-b", "128"}},
        {"vbr.mp3", {"-V", "2"}},
        {"mpeg2.mp3", {"--resample", "22.05", "-b", "64"}}};
    for (const auto& [name, options] : sources) {
        SCOPED_TRACE(name);
        fs::path source = test::MakeMp3(dir.Path(), name, kMusic, options);
        StreamCheck whole = CheckStream(source.string());
        ASSERT_TRUE(whole.lame);
        const std::size_t sourceSamples = test::DecodePcm(source, "ffmpeg").size() / 2;
        std::vector<fs::path> pieces = Split(source, {1300, 2750, 4100}, false);

        std::uint64_t played = 0;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            StreamCheck piece = CheckStream(pieces[i].string());
            ASSERT_TRUE(piece.lame) << pieces[i];
            // A piece may begin on a frame that borrows from the piece before; nothing else.
            for (StreamProblem problem : piece.problems)
                EXPECT_EQ(problem, StreamProblem::FirstFrameBorrows) << pieces[i];
            EXPECT_EQ(piece.lame->delay, i == 0 ? whole.lame->delay : 0);
            EXPECT_EQ(piece.lame->padding, i + 1 == pieces.size() ? whole.lame->padding : 0);
            ExpectTocDescribesFile(pieces[i], piece);
            played += test::DecodePcm(pieces[i], "ffmpeg").size() / 2;
        }
        EXPECT_EQ(played, sourceSamples - 3 * kDecoderDelay);

        FILE* out = std::fopen((dir / "joined.mp3").c_str(), "w+b");
        ASSERT_TRUE(out);
        std::vector<MergeSource> parts;
        for (const fs::path& piece : pieces)
            parts.push_back({piece.string(), piece.filename().string(), {}, 0});
        EXPECT_EQ(DirectMerge(parts, out, (dir / "joined.mp3").string(), {}, host),
                  MergeResult::Done);
        std::fclose(out);
        EXPECT_TRUE(CheckFramePartition(source.string(), {(dir / "joined.mp3").string()}).holds);
        StreamCheck joined = CheckStream((dir / "joined.mp3").string());
        EXPECT_TRUE(joined.problems.empty());
        EXPECT_EQ(test::DecodePcm(dir / "joined.mp3", "ffmpeg").size() / 2, sourceSamples);

        // A join that starts inside its first file, or ends in silence, has neither.
        parts.front().range.startMs = 200;
        parts.back().silenceSeconds = 1;
        out = std::fopen((dir / "joined.mp3").c_str(), "w+b");
        ASSERT_TRUE(out);
        EXPECT_EQ(DirectMerge(parts, out, (dir / "joined.mp3").string(), {}, host),
                  MergeResult::Done);
        std::fclose(out);
        joined = CheckStream((dir / "joined.mp3").string());
        ASSERT_TRUE(joined.lame);
        EXPECT_EQ(joined.lame->delay, 0);
        EXPECT_EQ(joined.lame->padding, 0);
    }
}

// Sample-accurate cuts, on a frame's first sample, just after it and just before the next:
// the outputs decode to the source's samples exactly and each decodes from itself alone.
TEST_F(GaplessSplitTest, SampleAccurateCutsPlayTheSource) {
    const std::pair<const char*, std::vector<std::string>> sources[] = {
        {"cbr.mp3", {"-b", "128"}},
        {"vbr.mp3", {"-V", "0"}},
        {"mpeg2.mp3", {"--resample", "22.05", "-V", "4"}},
        {"low16k.mp3", {"-b", "32"}},                       // MPEG 2, no room for a tag
        {"low32k.mp3", {"--resample", "32", "-b", "32"}}};  // MPEG 1, no tag either
    for (const auto& [name, options] : sources) {
        SCOPED_TRACE(name);
        fs::path source = test::MakeMp3(dir.Path(), name, kMusic, options);
        SplitSource prepared = PrepareSource(source.string(), SplitMode::Auto);
        ASSERT_TRUE(prepared.mpeg);
        BufferedFile file;
        ASSERT_TRUE(file.Open(source));
        std::optional<SampleAccurateSource> frames = PrepareSampleAccurate(*prepared.mpeg, file);
        ASSERT_TRUE(frames);
        // The time near `ms` whose sample lies nearest `into` samples past a frame's start on
        // the decoder's time line.
        const SampleTimeline& line = frames->timeline;
        auto near = [&](std::uint64_t ms, std::uint64_t into) {
            std::uint64_t best = ms, distance = UINT64_MAX;
            for (std::uint64_t t = ms; t < ms + 300; ++t) {
                const std::uint64_t at =
                    (SampleAtMs(t, prepared.mpeg->header.sampleRate) + line.leadIn) %
                    static_cast<std::uint64_t>(line.samplesPerFrame);
                const std::uint64_t d = at > into ? at - into : into - at;
                if (d < distance) {
                    best = t;
                    distance = d;
                }
            }
            return best;
        };
        const std::uint64_t last = line.samplesPerFrame - 1;
        std::vector<fs::path> pieces =
            Split(source, {near(900, 0), near(2300, 200), near(4000, last)}, true);
        for (const fs::path& piece : pieces)
            EXPECT_TRUE(CheckStream(piece.string()).problems.empty()) << piece;
        for (const char* decoder : {"ffmpeg", "mpg123"}) {
            Pcm expected = test::DecodePcm(source, decoder);
            ASSERT_FALSE(expected.empty()) << decoder;
            EXPECT_TRUE(Joined(pieces, decoder) == expected) << decoder;
        }
    }
}

}  // namespace
}  // namespace partita
