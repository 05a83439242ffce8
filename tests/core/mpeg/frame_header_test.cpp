#include "mpeg/frame_header.h"

#include <gtest/gtest.h>

#include "app/string_table.h"

namespace partita {
namespace {

// Builds a header word from its fields (raw bit codes).
std::uint32_t Word(unsigned version, unsigned layer, unsigned bitrateIndex, unsigned rateIndex,
                   unsigned padding = 0, unsigned mode = 0, unsigned emphasis = 0) {
    return 0xFFE00000u | (version << 19) | (layer << 17) | (1u << 16) | (bitrateIndex << 12) |
           (rateIndex << 10) | (padding << 9) | (mode << 6) | emphasis;
}

constexpr unsigned kMpeg1 = 3, kMpeg2 = 2, kMpeg25 = 0;
constexpr unsigned kLayer1 = 3, kLayer2 = 2, kLayer3 = 1;

// The common MPEG 1 Layer III header decodes field by field, padding adding one byte.
TEST(FrameHeader, DecodesMpeg1Layer3) {
    ASSERT_TRUE(IsValidHeader(0xFFFB9064));
    FrameHeaderInfo h = DecodeHeader(0xFFFB9064);
    EXPECT_EQ(h.version, MpegVersion::Mpeg1);
    EXPECT_EQ(h.layer, MpegLayer::Layer3);
    EXPECT_EQ(h.protectionBit, 1);
    EXPECT_EQ(h.bitrateKbps, 128);
    EXPECT_EQ(h.sampleRate, 44100);
    EXPECT_EQ(h.channelMode, 1);
    EXPECT_EQ(h.copyrightBit, 0);
    EXPECT_EQ(h.originalBit, 1);
    EXPECT_EQ(h.emphasis, 0);
    EXPECT_EQ(h.frameLength, 417);
    EXPECT_EQ(DecodeHeader(0xFFFB9264).frameLength, 418);
}

// Frame lengths follow the three formulas: Layer I slots of 4 bytes, the 72000 factor of
// MPEG 2/2.5 Layer III, the 144000 factor elsewhere.
TEST(FrameHeader, FrameLengthsPerLayerAndVersion) {
    EXPECT_EQ(DecodeHeader(Word(kMpeg1, kLayer3, 9, 1)).frameLength, 384);  // 128k 48000
    EXPECT_EQ(DecodeHeader(Word(kMpeg1, kLayer3, 9, 2)).frameLength, 576);  // 128k 32000
    EXPECT_EQ(DecodeHeader(Word(kMpeg2, kLayer3, 8, 0)).frameLength, 208);  // 64k 22050
    EXPECT_EQ(DecodeHeader(Word(kMpeg2, kLayer2, 8, 0)).frameLength, 417);  // 64k 22050
    EXPECT_EQ(DecodeHeader(Word(kMpeg1, kLayer1, 1, 0)).frameLength, 32);   // 32k 44100
    EXPECT_EQ(DecodeHeader(Word(kMpeg1, kLayer1, 1, 0, 1)).frameLength, 36);
    EXPECT_EQ(DecodeHeader(Word(kMpeg25, kLayer3, 1, 2)).frameLength, 72);  // 8k 8000
    EXPECT_EQ(DecodeHeader(Word(kMpeg25, kLayer3, 1, 2)).sampleRate, 8000);
    EXPECT_EQ(DecodeHeader(Word(kMpeg2, kLayer1, 14, 1)).bitrateKbps, 256);
    EXPECT_EQ(DecodeHeader(Word(kMpeg1, kLayer2, 14, 0)).bitrateKbps, 384);
}

// Every valid combination gives the length that double arithmetic gives when Layer I slots
// are truncated before multiplying by 4 (how a decoder computes it from the bitrate per ms).
TEST(FrameHeader, IntegerAndRealFormulasAgree) {
    for (unsigned version : {kMpeg1, kMpeg2, kMpeg25}) {
        for (unsigned layer : {kLayer1, kLayer2, kLayer3}) {
            for (unsigned b = 1; b < 15; ++b) {
                for (unsigned r = 0; r < 3; ++r) {
                    for (unsigned pad = 0; pad < 2; ++pad) {
                        FrameHeaderInfo h = DecodeHeader(Word(version, layer, b, r, pad));
                        double perMs = 1000.0 * h.bitrateKbps / h.sampleRate;
                        int expected =
                            h.layer == MpegLayer::Layer1
                                ? (static_cast<int>(12 * perMs) + static_cast<int>(pad)) * 4
                            : (h.layer == MpegLayer::Layer3 && h.version != MpegVersion::Mpeg1)
                                ? static_cast<int>(72 * perMs + pad)
                                : static_cast<int>(144 * perMs + pad);
                        EXPECT_EQ(h.frameLength, expected)
                            << std::hex << Word(version, layer, b, r, pad);
                        EXPECT_GT(h.frameLength, 4);
                    }
                }
            }
        }
    }
}

// Reserved codes, free format and bitrate index 15 are refused, as is a broken sync.
TEST(FrameHeader, RejectsReservedCodes) {
    const std::uint32_t good = 0xFFFB9064;
    EXPECT_FALSE(IsValidHeader(good & ~0x0000F000u));                  // free format
    EXPECT_FALSE(IsValidHeader(good | 0x0000F000u));                   // bitrate index 15
    EXPECT_FALSE(IsValidHeader(good | 0x00000C00u));                   // sample rate index 3
    EXPECT_FALSE(IsValidHeader((good & ~0x00180000u) | 0x00080000u));  // version 01
    EXPECT_FALSE(IsValidHeader(good & ~0x00060000u));                  // layer 00
    EXPECT_FALSE(IsValidHeader((good & ~3u) | 2u));                    // emphasis 10
    EXPECT_FALSE(IsValidHeader(0xFFC00000));
    EXPECT_FALSE(IsValidHeader(0x7FFB9064));
    EXPECT_TRUE(IsValidHeader((good & ~3u) | 1u));  // emphasis 01 is fine
}

// One stream may change bitrate, padding and mode, not layer, version or sample rate.
TEST(FrameHeader, SameStreamComparesStreamBits) {
    EXPECT_TRUE(SameStream(Word(kMpeg1, kLayer3, 9, 0, 0, 1), Word(kMpeg1, kLayer3, 13, 0, 1, 3)));
    EXPECT_FALSE(SameStream(Word(kMpeg1, kLayer3, 9, 0), Word(kMpeg1, kLayer2, 9, 0)));
    EXPECT_FALSE(SameStream(Word(kMpeg1, kLayer3, 9, 0), Word(kMpeg1, kLayer3, 9, 1)));
    EXPECT_FALSE(SameStream(Word(kMpeg1, kLayer3, 9, 0), Word(kMpeg2, kLayer3, 9, 0)));
    EXPECT_TRUE(SameLayer(Word(kMpeg1, kLayer3, 9, 0), Word(kMpeg1, kLayer3, 9, 1)));
    EXPECT_FALSE(SameLayer(Word(kMpeg1, kLayer3, 9, 0), Word(kMpeg1, kLayer2, 9, 0)));
}

// Side information sizes place the Xing tag; the frame time is length × 8 / bitrate.
TEST(FrameHeader, SideInfoAndDuration) {
    EXPECT_EQ(SideInfoSize(DecodeHeader(Word(kMpeg1, kLayer3, 9, 0, 0, 3))), 17);
    EXPECT_EQ(SideInfoSize(DecodeHeader(Word(kMpeg1, kLayer3, 9, 0, 0, 1))), 32);
    EXPECT_EQ(SideInfoSize(DecodeHeader(Word(kMpeg2, kLayer3, 9, 0, 0, 3))), 9);
    EXPECT_EQ(SideInfoSize(DecodeHeader(Word(kMpeg25, kLayer3, 9, 0, 0, 0))), 17);
    EXPECT_DOUBLE_EQ(FrameDurationMs(DecodeHeader(0xFFFB9064)), 417 * 8 / 128.0);
    FrameHeaderInfo silent;
    silent.frameLength = 100;
    EXPECT_EQ(FrameDurationMs(silent), 0.0);
}

// Version and mode texts, with the empty text outside the codes.
TEST(FrameHeader, Texts) {
    EXPECT_EQ(VersionText(MpegVersion::Reserved), "N/A");
    EXPECT_EQ(VersionText(MpegVersion::Mpeg25), "MPEG 2.5");
    EXPECT_EQ(VersionText(MpegVersion::Mpeg2), "MPEG 2.0");
    EXPECT_EQ(VersionText(MpegVersion::Mpeg1), "MPEG 1.0");
    EXPECT_EQ(VersionText(static_cast<MpegVersion>(7)), "");
    SetCurrentLanguage(Language::Chinese);
    EXPECT_EQ(ModeText(0), "立体声");
    EXPECT_EQ(ModeText(3), "单声道");
    SetCurrentLanguage(Language::English);
    EXPECT_EQ(ModeText(1), "Joint Stereo");
    EXPECT_EQ(ModeText(4), "");
    EXPECT_EQ(ModeText(-1), "");
}

}  // namespace
}  // namespace partita
