#include "mpeg/vbr_header.h"

#include <gtest/gtest.h>

#include <vector>

namespace partita {
namespace {

std::vector<std::uint8_t> TagBytes(const char* name, std::vector<std::uint8_t> rest) {
    std::vector<std::uint8_t> bytes(name, name + 4);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    bytes.resize(kVbrTagBytes + 4, 0xAA);
    return bytes;
}

// "Xing" and LAME's "Info" read alike: the frame count at 8, whatever the flags say.
TEST(VbrHeader, ReadsXingAndInfoFrameCounts) {
    auto xing = TagBytes("Xing", {0, 0, 0, 0, 0, 0, 0x03, 0xE8});
    auto tag = ParseXingTag(xing);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->type, VbrHeaderType::Xing);
    EXPECT_EQ(tag->name, "Xing");
    EXPECT_EQ(tag->frames, 1000u);
    auto info = ParseXingTag(TagBytes("Info", {0, 0, 0, 0x0F, 0x12, 0x34, 0x56, 0x78}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->type, VbrHeaderType::Xing);
    EXPECT_EQ(info->name, "Info");
    EXPECT_EQ(info->frames, 0x12345678u);
    EXPECT_FALSE(ParseXingTag(TagBytes("xing", {})));
    EXPECT_FALSE(ParseXingTag(TagBytes("VBRI", {})));
    xing.resize(kVbrTagBytes - 1);
    EXPECT_FALSE(ParseXingTag(xing));  // cut short
}

// VBRI keeps its frame count at 14.
TEST(VbrHeader, ReadsVbri) {
    auto tag = ParseVbriTag(TagBytes("VBRI", {0, 1, 0, 0, 0, 75, 0, 0, 0, 9, 0, 0, 0, 0x2A}));
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->type, VbrHeaderType::Vbri);
    EXPECT_EQ(tag->frames, 42u);
    EXPECT_FALSE(ParseVbriTag(TagBytes("Xing", {})));
}

// Patching writes big-endian counts at each layout's places and nothing else.
TEST(VbrHeader, PatchesCountsInPlace) {
    std::vector<std::uint8_t> xing(kVbrTagBytes + 2, 0x11);
    PatchVbrCounts(1000, 300000, VbrHeaderType::Xing, xing);
    EXPECT_EQ(std::vector<std::uint8_t>(xing.begin() + 8, xing.begin() + 16),
              (std::vector<std::uint8_t>{0, 0, 0x03, 0xE8, 0, 0x04, 0x93, 0xE0}));
    EXPECT_EQ(xing[7], 0x11);
    EXPECT_EQ(xing[16], 0x11);

    std::vector<std::uint8_t> vbri(kVbrTagBytes, 0x11);
    PatchVbrCounts(1000, 300000, VbrHeaderType::Vbri, vbri);
    EXPECT_EQ(std::vector<std::uint8_t>(vbri.begin() + 10, vbri.end()),
              (std::vector<std::uint8_t>{0, 0x04, 0x93, 0xE0, 0, 0, 0x03, 0xE8}));
    EXPECT_EQ(vbri[9], 0x11);

    std::vector<std::uint8_t> other(kVbrTagBytes, 0x11);
    PatchVbrCounts(1000, 300000, VbrHeaderType::None, other);
    EXPECT_EQ(other, std::vector<std::uint8_t>(kVbrTagBytes, 0x11));
}

// The Xing tag follows the side information: 21 and 36 in MPEG 1, 13 and 21 in MPEG 2.
TEST(VbrHeader, XingTagOffsets) {
    FrameHeaderInfo h;
    h.version = MpegVersion::Mpeg1;
    h.channelMode = 3;
    EXPECT_EQ(XingTagOffset(h), 21u);
    h.channelMode = 0;
    EXPECT_EQ(XingTagOffset(h), 36u);
    h.version = MpegVersion::Mpeg2;
    h.channelMode = 3;
    EXPECT_EQ(XingTagOffset(h), 13u);
    h.channelMode = 1;
    EXPECT_EQ(XingTagOffset(h), 21u);
}

}  // namespace
}  // namespace partita
