#include <cmath>

#include "mpeg/mpeg_analysis.h"
#include "stream_builder.h"
#include "support/test_support.h"

namespace partita {
namespace {

using namespace test;  // NOLINT: the stream builder and fixtures
using FrameIndexTest = TempDirTest;
namespace fs = std::filesystem;

// A Xing stream with a known boundary list: the end offset and elapsed time of every audio
// frame, alternating 128 and 192 kbit/s in runs.
struct VbrStream {
    Bytes bytes;
    std::uint64_t dataStart = 0;
    std::vector<std::uint64_t> ends;
    std::vector<double> elapsed;

    explicit VbrStream(std::size_t frames, std::uint32_t tagSize = 0) {
        if (tagSize)
            bytes = Id3v2(tagSize);
        Append(bytes, VbrFrame(kCbr128, "Xing", static_cast<std::uint32_t>(frames)));
        dataStart = bytes.size();
        double time = 0;
        for (std::size_t n = 0; n < frames; ++n) {
            std::uint32_t word = (n / 7) % 2 ? kCbr192 : kCbr128;
            Bytes frame = Frame(word);
            Append(bytes, frame);
            time += FrameDurationMs(DecodeHeader(word));
            ends.push_back(bytes.size());
            elapsed.push_back(time);
        }
        Append(bytes, Id3v1("v"));
    }

    // The first frame whose end is at or after `ms`, as (1-based number, end, elapsed).
    FrameIndexEntry At(double ms) const {
        for (std::size_t n = 0; n < ends.size(); ++n) {
            if (elapsed[n] >= ms)
                return {elapsed[n], static_cast<std::int32_t>(n + 1), ends[n]};
        }
        return {elapsed.back(), static_cast<std::int32_t>(ends.size()), ends.back()};
    }
};

// Entries mark the first frame boundary past every 2 MiB, with the frames and time up to it,
// counted from the first audio frame.
TEST(FrameIndex, EntriesAtStepBoundaries) {
    VbrStream s(12000);  // about 6 MB
    BufferedFile file;
    file.OpenMemory(s.bytes);
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(file, "v.mp3", 0, true));
    ASSERT_EQ(info.indexBuilt, 1);
    const std::uint64_t step = 2'097'152;
    ASSERT_EQ(info.indexCount(), s.bytes.size() / step);
    for (std::size_t k = 0; k < info.index.size(); ++k) {
        const FrameIndexEntry& e = info.index[k];
        auto it = std::find(s.ends.begin(), s.ends.end(), e.endOffset);
        ASSERT_NE(it, s.ends.end()) << k;
        std::size_t n = static_cast<std::size_t>(it - s.ends.begin());
        EXPECT_GT(e.endOffset, (k + 1) * step);
        EXPECT_LE(s.ends[n - 1], (k + 1) * step);
        EXPECT_EQ(e.frameNumber, static_cast<std::int32_t>(n + 1));
        EXPECT_NEAR(e.elapsedMs, s.elapsed[n], 1e-6);
    }
}

// A time maps to the end of the frame that holds it, walked from the nearest entry; an entry
// within 10 ms is the answer itself.
TEST(FrameIndex, LocateTimeWalksFromEntries) {
    VbrStream s(12000);
    BufferedFile file;
    file.OpenMemory(s.bytes);
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(file, "v.mp3", 0, true));
    ASSERT_GE(info.indexCount(), 2u);
    for (double ms : {1.0, 26.0, 1000.0, 45'000.0, 123'456.0, 299'000.0}) {
        FrameIndexEntry expected = s.At(ms);
        const FrameIndexEntry* near = nullptr;
        for (const auto& e : info.index) {
            if (std::abs(e.elapsedMs - ms) < 10)
                near = &e;
        }
        if (near)
            expected = *near;
        FrameIndexEntry got = info.LocateTime(static_cast<std::uint64_t>(ms), file);
        EXPECT_EQ(got.endOffset, expected.endOffset) << ms;
        EXPECT_EQ(got.frameNumber, expected.frameNumber) << ms;
        EXPECT_NEAR(got.elapsedMs, expected.elapsedMs, 1e-6) << ms;
    }
    const FrameIndexEntry& entry = info.index[1];
    FrameIndexEntry near = info.LocateTime(static_cast<std::uint64_t>(entry.elapsedMs) + 5, file);
    EXPECT_EQ(near, entry);
    // Fast mode ignores the index: the average bitrate maps the time.
    EXPECT_EQ(info.TimeToOffset(45'000, 0, true),
              static_cast<std::uint64_t>(info.avgBitrate * 0.125 * 45'000 + info.dataStart));
    // Past the last frame the walk ends at the last frame.
    EXPECT_EQ(info.LocateTime(10'000'000, file).endOffset, s.ends.back());
}

// Without the file, a time near an entry is still answered; another time falls back to the
// entry before it.
TEST_F(FrameIndexTest, EntryAnswersWithoutReading) {
    VbrStream s(9000);
    fs::path path = dir / "v.mp3";
    WriteFileBytes(path, s.bytes);
    MpegAnalysis info;
    ASSERT_TRUE(info.Open(path.string(), 0, true));
    ASSERT_GE(info.indexCount(), 1u);
    fs::remove(path);
    const FrameIndexEntry entry = info.index[0];
    EXPECT_EQ(info.LocateTime(static_cast<std::uint64_t>(entry.elapsedMs) - 5), entry);
    EXPECT_EQ(info.LocateTime(static_cast<std::uint64_t>(entry.elapsedMs) + 5000), entry);
}

// EnsureFrameIndex builds once from the first audio frame, the same index that Open builds;
// a file without a VBR header frame needs none.
TEST_F(FrameIndexTest, EnsureBuildsTheSameIndexOnce) {
    VbrStream s(9000, 3000);
    fs::path path = dir / "v.mp3";
    WriteFileBytes(path, s.bytes);
    MpegAnalysis eager, lazy;
    ASSERT_TRUE(eager.Open(path.string(), 0, true));
    ASSERT_TRUE(lazy.Open(path.string()));
    EXPECT_EQ(lazy.indexBuilt, 0);
    ASSERT_TRUE(lazy.EnsureFrameIndex());
    EXPECT_EQ(lazy.index, eager.index);
    EXPECT_EQ(lazy.LocateTime(20'000).frameNumber, s.At(20'000).frameNumber);
    EXPECT_EQ(lazy.TimeToOffset(45'000, 0, false), s.At(45'000).endOffset);
    fs::remove(path);
    EXPECT_TRUE(lazy.EnsureFrameIndex());  // built already: the file is not needed

    Bytes cbr;
    AppendFrames(cbr, kCbr128, 100);
    WriteFileBytes(dir / "c.mp3", cbr);
    MpegAnalysis plain;
    ASSERT_TRUE(plain.Open((dir / "c.mp3").string()));
    EXPECT_TRUE(plain.EnsureFrameIndex());
    EXPECT_EQ(plain.indexBuilt, 0);
    BufferedFile file;
    ASSERT_TRUE(file.Open(dir / "c.mp3"));
    EXPECT_FALSE(plain.BuildFrameIndex(file));
}

// The progress callback sees rising percentages ending at 100; answering false stops the
// build, drops the index and lets a later build start again.
TEST(FrameIndex, ProgressAndCancel) {
    VbrStream s(12000);
    BufferedFile file;
    file.OpenMemory(s.bytes);
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(file, "v.mp3"));
    int calls = 0;
    EXPECT_FALSE(info.BuildFrameIndex(file, [&](int) { return ++calls < 3; }));
    EXPECT_EQ(info.indexBuilt, 0);
    EXPECT_EQ(info.indexCount(), 0u);

    std::vector<int> seen;
    file.Seek(info.dataStart);
    EXPECT_TRUE(info.BuildFrameIndex(file, [&](int p) {
        seen.push_back(p);
        return true;
    }));
    EXPECT_EQ(info.indexBuilt, 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(info.BuildFrameIndex(file));  // built once
}

// Files over 800 MiB use a 5 MiB step.
TEST(FrameIndex, LargeFilesUseTheLargerStep) {
    VbrStream s(28000);  // about 14 MB
    BufferedFile file;
    file.OpenMemory(s.bytes);
    MpegAnalysis info;
    ASSERT_TRUE(info.OpenFile(file, "v.mp3"));
    info.fileLength = 1'000'000'000;
    file.Seek(info.dataStart);
    ASSERT_TRUE(info.BuildFrameIndex(file));
    ASSERT_EQ(info.indexCount(), s.bytes.size() / 5'242'880);
    EXPECT_GT(info.index[0].endOffset, 5'242'880u);
    EXPECT_LT(info.index[0].endOffset, 5'242'880u + 700);
}

// A time near the end of a cut-off file maps no further than the end of its audio, which ends
// before the last frame, cut short: that frame's nominal end would lie inside the ID3v1 tag.
TEST_F(FrameIndexTest, TimesStayBeforeTheId3v1Tag) {
    VbrStream s(9000);
    Bytes bytes(s.bytes.begin(), s.bytes.end() - 128 - 300);  // the last frame loses 300 bytes
    Append(bytes, Id3v1("cut"));
    fs::path path = dir / "cut.mp3";
    WriteFileBytes(path, bytes);
    MpegAnalysis info;
    ASSERT_TRUE(info.Open(path.string(), 0, true));
    ASSERT_TRUE(info.hasId3v1);
    const std::uint64_t audioEnd = info.audioEnd;
    EXPECT_EQ(info.tagsStart, bytes.size() - 128);
    EXPECT_LT(audioEnd, info.tagsStart);
    EXPECT_GT(audioEnd + 2881, info.tagsStart);
    EXPECT_GT(info.LocateTime(info.durationMs + 100).endOffset, audioEnd);
    EXPECT_EQ(info.TimeToOffset(info.durationMs, 0, false), audioEnd);
    EXPECT_LE(info.TimeToOffset(info.durationMs, 0, true), audioEnd);
}

}  // namespace
}  // namespace partita
