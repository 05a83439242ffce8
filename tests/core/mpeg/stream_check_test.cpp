// What a walk over a file finds wrong: junk between frames, header counts and LAME fields that
// are not the file's, a first frame that borrows, and pieces whose frames are not a source's.

#include "mpeg/stream_check.h"
#include "mpeg/lame_tag.h"
#include "support/test_support.h"

namespace partita {
namespace {

using Bytes = std::vector<std::uint8_t>;

class StreamCheckTest : public test::TempDirTest {
  protected:
    std::vector<StreamProblem> ProblemsOf(const Bytes& bytes) {
        test::WriteFileBytes(dir / "damaged.mp3", bytes);
        return CheckStream((dir / "damaged.mp3").string()).problems;
    }
};

TEST_F(StreamCheckTest, FindsWhatIsWrong) {
    auto mp3 = test::MakeMp3(dir.Path(), "song.mp3", {{440, 1000}, {660, 1000}}, {"-V", "4"});
    StreamCheck clean = CheckStream(mp3.string());
    EXPECT_TRUE(clean.problems.empty());
    ASSERT_TRUE(clean.lame);
    // What it says plays is what an independent decoder plays.
    EXPECT_EQ(clean.samples, test::DecodePcm(mp3, "ffmpeg").size() / 2);

    const Bytes file = test::ReadFileBytes(mp3);
    const std::size_t tenth = clean.frames.starts[10];
    Bytes junk = file;
    junk.insert(junk.begin() + static_cast<std::ptrdiff_t>(tenth), 7, 0x55);
    using P = StreamProblem;
    // The junk is found, and the counts that now leave it out.
    EXPECT_EQ(ProblemsOf(junk), (std::vector<P>{P::Junk, P::ByteCount, P::MusicLength}));
    test::WriteFileBytes(dir / "damaged.mp3", junk);
    EXPECT_EQ(CheckStream((dir / "damaged.mp3").string()).frames.firstJunk, tenth);

    Bytes lowpass = file;
    ++lowpass[clean.lame->offset + 10];
    EXPECT_EQ(ProblemsOf(lowpass), std::vector<P>{P::TagCrc});

    Bytes shorter(file.begin(),
                  file.begin() + static_cast<std::ptrdiff_t>(clean.frames.starts.back()));
    EXPECT_EQ(ProblemsOf(shorter), (std::vector<P>{P::FrameCount, P::ByteCount, P::MusicLength}));

    // Without its first frames the file begins on a frame that borrows from them.
    Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(clean.frames.starts[0]));
    cut.insert(cut.end(), file.begin() + static_cast<std::ptrdiff_t>(tenth), file.end());
    test::WriteFileBytes(dir / "cut.mp3", cut);
    StreamCheck borrowing = CheckStream((dir / "cut.mp3").string());
    EXPECT_EQ(borrowing.borrowingFrame, 0);
    EXPECT_GT(borrowing.borrowedBytes, 0);

    // The frames of pieces: the file itself makes up the file; twice, or a part, does not.
    EXPECT_TRUE(CheckFramePartition(mp3.string(), {mp3.string()}).holds);
    FramePartition doubled = CheckFramePartition(mp3.string(), {mp3.string(), mp3.string()});
    EXPECT_FALSE(doubled.holds);
    EXPECT_EQ(doubled.piece, 1);
    EXPECT_EQ(doubled.frame, 0);
    FramePartition part = CheckFramePartition(mp3.string(), {(dir / "cut.mp3").string()});
    EXPECT_FALSE(part.holds);
    EXPECT_EQ(part.piece, 0);
}

}  // namespace
}  // namespace partita
