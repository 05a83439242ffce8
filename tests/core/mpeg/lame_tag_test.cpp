// The LAME tag, the seek tables and the bit reservoir: what lame writes is read back exactly,
// what we write passes the same checks, and the frames we make decode as they should.

#include <algorithm>
#include <cstring>

#include "mpeg/bit_reservoir.h"
#include "mpeg/frame_table.h"
#include "mpeg/header_frame.h"
#include "mpeg/lame_tag.h"
#include "mpeg/seek_table.h"
#include "support/test_support.h"

namespace partita {
namespace {

using Bytes = std::vector<std::uint8_t>;

class LameTagTest : public test::TempDirTest {};

// lame's own header frames: our CRC of the untouched frame is the one lame stored, the fields
// are lame's (its delay and a music length of the whole file), and rewriting the fields keeps
// the CRC valid and the rest of the frame as it was.
TEST_F(LameTagTest, ReadsAndRewritesLameFrames) {
    const std::vector<std::string> encodings[] = {
        {"-b", "128"}, {"-V", "2"}, {"-m", "m", "-b", "64"}, {"--resample", "22.05", "-b", "64"}};
    for (const auto& options : encodings) {
        auto mp3 = test::MakeMp3(dir.Path(), "song.mp3", {{440, 1500}}, options);
        Bytes file = test::ReadFileBytes(mp3);
        const FrameHeaderInfo header = DecodeHeader(HeaderWord(file.data()));
        Bytes frame(file.begin(), file.begin() + header.frameLength);
        const std::size_t tagAt = XingTagOffset(header);
        std::optional<LameTag> tag = ReadLameTag(frame, tagAt);
        ASSERT_TRUE(tag) << options[1];
        EXPECT_TRUE(tag->crcMatches);
        EXPECT_EQ(tag->encoder, "LAME3.100");
        EXPECT_EQ(tag->delay, 576);
        EXPECT_EQ(tag->musicLength, file.size());

        Bytes before = frame;
        WriteLameTag(frame, tag->offset, 1234, 4095, 777);
        std::optional<LameTag> rewritten = ReadLameTag(frame, tagAt);
        ASSERT_TRUE(rewritten);
        EXPECT_TRUE(rewritten->crcMatches);
        EXPECT_EQ(rewritten->delay, 1234);
        EXPECT_EQ(rewritten->padding, 4095);
        EXPECT_EQ(rewritten->musicLength, 777u);
        for (std::size_t at : {tag->offset + 21, tag->offset + 22, tag->offset + 23})
            before[at] = frame[at];
        for (std::size_t at = tag->offset + 28; at < tag->offset + 32; ++at)
            before[at] = frame[at];
        EXPECT_TRUE(std::equal(before.begin(), before.begin() + tag->offset + 34, frame.begin()));
    }
}

// Over 4 GiB of audio the Xing tag leaves its byte count out (its flag cleared, the fields
// after it moved up) rather than state a wrapped or clipped one; the frame count, the seek table
// and the LAME extension stay where the flags put them.
TEST_F(LameTagTest, ByteCountLeftOutOver4GiB) {
    auto mp3 = test::MakeMp3(dir.Path(), "song.mp3", {{440, 1500}}, {"-V", "2"});
    Bytes file = test::ReadFileBytes(mp3);
    const FrameHeaderInfo header = DecodeHeader(HeaderWord(file.data()));
    Bytes frame(file.begin(), file.begin() + header.frameLength);
    const std::size_t tagAt = XingTagOffset(header);
    std::vector<std::uint64_t> starts;
    for (std::uint64_t i = 0; i < 1000; ++i)
        starts.push_back(frame.size() + i * 5'000'000);
    FinishHeaderFrame(frame, tagAt, VbrHeaderType::Xing, {starts, 5'000'000'000, 576, 0});
    const std::span<const std::uint8_t> tag(frame.data() + tagAt, frame.size() - tagAt);
    EXPECT_EQ(HeaderWord(tag.data() + 4) & 3, 1u);  // frames, no bytes
    EXPECT_EQ(ParseXingTag(tag)->frames, 1000u);
    const XingFields fields = XingLayout(tag);
    ASSERT_EQ(fields.toc, 12u);
    EXPECT_EQ(tag[fields.toc + 50], 128);
    std::optional<LameTag> lame = ReadLameTag(frame, tagAt);
    ASSERT_TRUE(lame);
    EXPECT_TRUE(lame->crcMatches);
    EXPECT_EQ(lame->delay, 576);
}

// A frame without a LAME extension has none; a fresh tag frame is the smallest of its stream
// that holds the tag, and only Layer III gets one.
TEST(LameTag, FreshTagFrames) {
    Bytes plain(417, 0);
    plain[0] = 0xFF, plain[1] = 0xFB, plain[2] = 0x90, plain[3] = 0x64;
    std::memcpy(plain.data() + 36, "Xing\0\0\0\x0F", 8);
    EXPECT_FALSE(ReadLameTag(plain, 36));

    struct Case {
        std::uint32_t stream;
        int length;
    } cases[] = {{0xFFFB1064, 208},   // MPEG 1, 44.1 kHz, 32 kbit/s stream: 64 kbit/s frame
                 {0xFFFB14C4, 192},   // mono, 48 kHz
                 {0xFFF31864, 180}};  // MPEG 2, 16 kHz: 40 kbit/s
    for (const Case& c : cases) {
        Bytes frame = MakeTagFrame(c.stream, true);
        ASSERT_EQ(static_cast<int>(frame.size()), c.length) << std::hex << c.stream;
        const FrameHeaderInfo header = DecodeHeader(HeaderWord(frame.data()));
        EXPECT_TRUE(SameStream(HeaderWord(frame.data()), c.stream));
        EXPECT_EQ(header.channelMode, DecodeHeader(c.stream).channelMode);
        EXPECT_EQ(std::memcmp(frame.data() + XingTagOffset(header), "Xing", 4), 0);
        ASSERT_TRUE(ReadLameTag(frame, XingTagOffset(header)));
        EXPECT_EQ(ReadLameTag(frame, XingTagOffset(header))->encoder.substr(0, 4), "LAME");
    }
    EXPECT_TRUE(MakeTagFrame(0xFFFD9064, false).empty());  // Layer II
}

// The VBRI table is rebuilt in the room the tag has: its entries cover the frames given, more
// frames per entry and a larger scale where needed.
TEST(SeekTable, VbriTableFitsItsRoom) {
    Bytes tag(26 + 4 * 2, 0);
    std::memcpy(tag.data(), "VBRI", 4);
    tag[19] = 4;  // entries
    tag[21] = 1;  // scale
    tag[23] = 2;  // bytes per entry
    tag[25] = 1;  // frames per entry
    std::vector<std::uint64_t> starts;
    for (std::uint64_t i = 0; i < 10; ++i)
        starts.push_back(400 + i * 30000);
    ASSERT_TRUE(RebuildVbriTable(tag, starts, 400 + 10 * 30000));
    const int entries = tag[18] << 8 | tag[19], scale = tag[20] << 8 | tag[21];
    const int perEntry = tag[24] << 8 | tag[25];
    EXPECT_EQ(perEntry, 3);
    EXPECT_EQ(entries, 4);
    std::uint64_t covered = 0;
    for (int i = 0; i < entries; ++i)
        covered += static_cast<std::uint64_t>(tag[26 + 2 * i] << 8 | tag[27 + 2 * i]) * scale;
    EXPECT_NEAR(static_cast<double>(covered), 300000.0, entries * scale);
    EXPECT_GT(scale, 1);  // 90000 bytes do not fit 2 bytes
}

// The bit reservoir: main_data_begin is read where each version keeps it, the reservoir before
// a frame is gathered from the ends of the frames before it, and the frame that carries it
// ends with it and begins its own main data at once.
TEST_F(LameTagTest, ReservoirIsCarried) {
    EXPECT_EQ(MainDataBegin(Bytes{0xFF, 0xFB, 0x90, 0x64, 0xFF, 0x80, 0, 0}), 511);
    EXPECT_EQ(MainDataBegin(Bytes{0xFF, 0xFA, 0x90, 0x64, 0, 0, 0x00, 0x80}), 1);  // after a CRC
    EXPECT_EQ(MainDataBegin(Bytes{0xFF, 0xF3, 0x90, 0x64, 0xAB, 0, 0, 0}), 0xAB);  // MPEG 2
    EXPECT_EQ(MainDataBegin(Bytes{0xFF, 0xFD, 0x90, 0x64, 0xFF, 0xFF, 0, 0}), 0);  // Layer II

    auto mp3 = test::MakeMp3(dir.Path(), "song.mp3", {{440, 800}}, {"-b", "128", "-t"});
    BufferedFile file;
    ASSERT_TRUE(file.Open(mp3));
    std::uint32_t word = 0;
    ASSERT_TRUE(file.WordAt(0, word));
    FrameTable frames = WalkFrames(file, word, 0, file.Size());
    ASSERT_GT(frames.Count(), 10u);
    Bytes reservoir = ReservoirBefore(file, frames.starts, 10, 511);
    // Its end is the end of frame 9; what lies in frame 8 follows frame 8's side information.
    Bytes tail(40);
    file.ReadAt(frames.starts[10] - tail.size(), tail.data(), tail.size());
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), reservoir.end() - 40));
    EXPECT_EQ(ReservoirBefore(file, frames.starts, 0, 5), Bytes(5, 0));

    Bytes carrier = ReservoirCarrier(word, reservoir);
    const FrameHeaderInfo header = DecodeHeader(HeaderWord(carrier.data()));
    EXPECT_EQ(header.bitrateKbps, 192);  // the smallest MPEG 1 frame with 511 bytes of room
    EXPECT_EQ(header.protectionBit, 1);
    EXPECT_EQ(MainDataBegin(carrier), 0);
    EXPECT_TRUE(std::all_of(carrier.begin() + 4, carrier.begin() + 36,
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::equal(reservoir.begin(), reservoir.end(), carrier.end() - 511));
    EXPECT_EQ(DecodeHeader(HeaderWord(ReservoirCarrier(word, {}).data())).bitrateKbps, 32);
}

}  // namespace
}  // namespace partita
