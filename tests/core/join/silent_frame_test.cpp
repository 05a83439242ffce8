#include "join/silent_frame.h"

#include <random>

#include "audio_check.h"
#include "join/frame_counter.h"
#include "mpeg/frame_header.h"
#include "support/test_support.h"

namespace partita {
namespace {

using SilentFrameTest = test::TempDirTest;

// A 128 kbit/s 44.1 kHz frame of 418 bytes and 2 s of silence: 1 + 32000 / 418 = 77 whole
// frames, each as long as its header says.
TEST(SilentFrame, CountAndWholeFrames) {
    const std::uint32_t padded = 0xFFFB9264;  // MPEG 1 Layer III, 128 kbit/s, padding
    EXPECT_EQ(SilentFrameCount(padded, 2), 77u);
    EXPECT_EQ(SilentFrameCount(padded, 0), 0u);
    std::vector<std::uint8_t> frame = SilentFrame(padded);
    ASSERT_EQ(frame.size(), 418u);
    EXPECT_EQ(HeaderWord(frame.data()), padded);
    for (std::size_t i = 4; i < frame.size(); ++i)
        ASSERT_EQ(frame[i], 0) << i;
    // The first frame of a VBR stream may be small: 32 kbit/s frames of 104 bytes.
    EXPECT_EQ(SilentFrame(0xFFFB1064).size(), 104u);
    EXPECT_EQ(SilentFrameCount(0xFFFB1064, 1), 1u + 4000u / 104u);
    EXPECT_TRUE(SilentFrame(0x12345678).empty());
}

// A header that announces a CRC gives a silent frame that does not: nothing follows its header.
TEST(SilentFrame, NeverClaimsACrc) {
    const std::uint32_t withCrc = 0xFFFA9064;  // protection bit 0: a CRC follows
    std::vector<std::uint8_t> frame = SilentFrame(withCrc);
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(DecodeHeader(HeaderWord(frame.data())).protectionBit, 1);
    EXPECT_EQ(frame.size(), 417u);
}

// Silent frames of MPEG 1 and 2 Layer III and of Layer II decode without an error as silence of
// their count's length.
TEST_F(SilentFrameTest, DecodeAsSilence) {
    struct Case {
        std::uint32_t header;
        double frameMs;  // samples per frame / rate
    };
    for (Case c : {Case{0xFFFA9064, 1152 / 44.1}, Case{0xFFF39864, 576 / 16.0},
                   Case{0xFFFD9844, 1152 / 32.0}}) {
        std::vector<std::uint8_t> bytes;
        std::uint32_t count = SilentFrameCount(c.header, 2);
        std::vector<std::uint8_t> frame = SilentFrame(c.header);
        for (std::uint32_t i = 0; i < count; ++i)
            bytes.insert(bytes.end(), frame.begin(), frame.end());
        auto path = dir / "silence.mp3";
        test::WriteFileBytes(path, bytes);
        std::string errors;
        EXPECT_TRUE(test::DecodesCleanly(path, &errors)) << std::hex << c.header << errors;
        test::DecodedAudio audio = test::DecodeWithFfmpeg(path);
        EXPECT_NEAR(audio.DurationMs(), count * c.frameMs, c.frameMs) << std::hex << c.header;
        EXPECT_GE(audio.DurationMs(), 2000 - c.frameMs);
        EXPECT_LT(audio.DurationMs(), 2000 + 2 * c.frameMs);
        EXPECT_EQ(test::FirstLoudMs(audio, 0.0), -1) << std::hex << c.header;
    }
}

// Frames are counted across pieces of any size, over changing bitrates and padding, and
// bytes that are no header of the stream (a stray tag, a header of another layer) are passed.
TEST(FrameCounterTest, CountsFramesAcrossPieces) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> stream;
    auto addFrame = [&](std::uint32_t word) {
        FrameHeaderInfo h = DecodeHeader(word);
        for (int s = 24; s >= 0; s -= 8)
            stream.push_back(static_cast<std::uint8_t>(word >> s));
        for (int i = 4; i < h.frameLength; ++i)
            stream.push_back(static_cast<std::uint8_t>(random()));
    };
    const std::uint32_t words[] = {0xFFFB9064, 0xFFFB9264, 0xFFFBE064, 0xFFFB1064, 0xFFFB5264};
    for (int i = 0; i < 300; ++i)
        addFrame(words[i % 5]);
    std::vector<std::uint8_t> junk(300, 0);
    junk[10] = 0xFF;
    junk[11] = 0xFD;  // a Layer II header of another stream
    junk[12] = 0x98;
    junk[13] = 0x44;
    stream.insert(stream.end(), junk.begin(), junk.end());
    for (int i = 0; i < 200; ++i)
        addFrame(words[i % 3]);

    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{417}, stream.size()}) {
        FrameCounter counter(0xFFFB9064);
        for (std::size_t at = 0; at < stream.size(); at += piece)
            counter.Feed(stream.data() + at, std::min(piece, stream.size() - at));
        EXPECT_EQ(counter.Frames(), 500u) << piece;
    }
}

}  // namespace
}  // namespace partita
