#include <fcntl.h>
#include <unistd.h>

#include "mpeg/mpeg_analysis.h"
#include "stream_builder.h"
#include "support/test_support.h"

namespace partita {
namespace {

using namespace test;  // NOLINT: the stream builder and fixtures
using LargeFileTest = TempDirTest;
namespace fs = std::filesystem;

// Offsets past 4 GiB (a sparse file: the stream begins at 4.5 GB) stay exact in the analysis,
// the time mapping, the snapping and the index.
TEST_F(LargeFileTest, OffsetsBeyond32Bits) {
    const std::uint64_t start = 4'500'000'000;
    Bytes stream = VbrFrame(kCbr128, "Xing", 2000);
    AppendFrames(stream, kCbr128, 2000);
    Append(stream, Id3v1("Far"));
    fs::path path = dir / "far.mp3";
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, stream.data(), stream.size(), static_cast<off_t>(start)),
              static_cast<ssize_t>(stream.size()));
    ::close(fd);

    MpegAnalysis info;
    ASSERT_TRUE(info.Open(path.string(), start - 100));
    ASSERT_TRUE(info.streamFound);
    EXPECT_EQ(info.fileLength, start + stream.size());
    EXPECT_EQ(info.vbrFramePos, start);
    EXPECT_EQ(info.vbrTagPos, start + 36);
    EXPECT_EQ(info.dataStart, start + 417);
    EXPECT_TRUE(info.hasId3v1);
    EXPECT_EQ(info.title, "Far");
    EXPECT_EQ(info.frameCount, 2000u);
    EXPECT_EQ(info.TimeToOffset(0, 0, true), start + 417);
    EXPECT_EQ(info.TimeToOffset(info.durationMs + 1, 0, true), info.fileLength - 128);
    EXPECT_NEAR(static_cast<double>(info.TimeToOffset(1000, 0, true)),
                static_cast<double>(start + 417 + 16'000), 200);

    BufferedFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(info.SnapToFrame(file, start + 417 * 5 + 100), start + 417 * 6);

    ASSERT_TRUE(info.EnsureFrameIndex());
    ASSERT_GT(info.indexCount(), 0u);
    FrameIndexEntry at = info.LocateTime(10'000);
    EXPECT_EQ((at.endOffset - start) % 417, 0u);
    EXPECT_EQ(at.endOffset, start + 417 + static_cast<std::uint64_t>(at.frameNumber) * 417);
    EXPECT_NEAR(at.elapsedMs, 10'000, 27);
    EXPECT_EQ(info.TimeToOffset(10'000, 0, false), at.endOffset);
}

}  // namespace
}  // namespace partita
