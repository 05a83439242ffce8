#include "mpeg/frame_header.h"

#include <array>

#include "app/string_table.h"

namespace partita {
namespace {

// Bitrates in kbit/s by bitrate index; index 0 (free format) is 0 and index 15 is -1.
constexpr std::array<std::array<int, 16>, 5> kBitrates = {{
    // MPEG 1 Layer I
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
    // MPEG 1 Layer II
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
    // MPEG 1 Layer III
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},
    // MPEG 2 and 2.5 Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
    // MPEG 2 and 2.5 Layers II and III
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
}};

// Sample rates in Hz by version code (0 reserved, 1 MPEG 2.5, 2 MPEG 2, 3 MPEG 1) and index.
constexpr std::array<std::array<int, 4>, 4> kSampleRates = {{
    {0, 0, 0, 0},
    {11025, 12000, 8000, 0},
    {22050, 24000, 16000, 0},
    {44100, 48000, 32000, 0},
}};

// Raw version bits 00, 01, 10, 11 → version code.
constexpr std::array<int, 4> kVersionCodes = {1, 0, 2, 3};
// Raw layer bits 00, 01, 10, 11 → layer number.
constexpr std::array<int, 4> kLayerNumbers = {0, 3, 2, 1};

int BitrateRow(int version, int layer) {
    if (version == 3)
        return layer == 1 ? 0 : layer == 2 ? 1 : 2;
    return layer == 1 ? 3 : 4;
}

}  // namespace

bool IsValidHeader(std::uint32_t word) {
    if ((word & 0xFFE00000u) != 0xFFE00000u)
        return false;
    if (((word >> 19) & 3u) == 1u)  // reserved version
        return false;
    if (((word >> 17) & 3u) == 0u)  // reserved layer
        return false;
    std::uint32_t bitrateIndex = (word >> 12) & 0xFu;
    if (bitrateIndex == 0u || bitrateIndex == 15u)  // free format, bad
        return false;
    if (((word >> 10) & 3u) == 3u)  // reserved sample rate
        return false;
    return (word & 3u) != 2u;  // reserved emphasis
}

void DecodeHeader(std::uint32_t word, FrameHeaderInfo& out) {
    out.version = kVersionCodes[(word >> 19) & 3u];
    out.layer = kLayerNumbers[(word >> 17) & 3u];
    out.protectionBit = static_cast<int>((word >> 16) & 1u);
    out.channelMode = static_cast<int>((word >> 6) & 3u);
    out.copyrightBit = static_cast<int>((word >> 3) & 1u);
    out.originalBit = static_cast<int>((word >> 2) & 1u);
    out.emphasis = static_cast<int>(word & 3u);
    out.bitrateKbps =
        out.layer == 0 ? 0 : kBitrates[BitrateRow(out.version, out.layer)][(word >> 12) & 0xFu];
    out.sampleRate = kSampleRates[out.version][(word >> 10) & 3u];
    if (out.sampleRate == 0)
        return;  // the frame length stays as it was
    const int pad = static_cast<int>((word >> 9) & 1u);
    if (out.layer == 1) {
        // Layer I counts 4-byte slots.
        out.frameLength = (12000 * out.bitrateKbps / out.sampleRate + pad) * 4;
    } else if (out.layer == 3 && out.version != 3) {
        // Layer III of MPEG 2 and 2.5 has half as many samples per frame.
        out.frameLength = 72000 * out.bitrateKbps / out.sampleRate + pad;
    } else {
        out.frameLength = 144000 * out.bitrateKbps / out.sampleRate + pad;
    }
}

FrameHeaderInfo DecodeHeader(std::uint32_t word) {
    FrameHeaderInfo info;
    DecodeHeader(word, info);
    return info;
}

int SamplesPerFrame(const FrameHeaderInfo& header) {
    if (header.layer == 1)
        return 384;
    return header.layer == 3 && header.version != 3 ? 576 : 1152;
}

int SideInfoSize(const FrameHeaderInfo& header) {
    const bool mono = header.channelMode == 3;
    if (header.version == 3)
        return mono ? 17 : 32;
    return mono ? 9 : 17;
}

std::string VersionText(int version) {
    switch (version) {
        case 0:
            return "N/A";
        case 1:
            return "MPEG 2.5";
        case 2:
            return "MPEG 2.0";
        case 3:
            return "MPEG 1.0";
        default:
            return {};
    }
}

std::string ModeText(int channelMode) {
    static constexpr std::array<const char*, 4> kChinese = {"立体声", "联合立体声", "双声道",
                                                            "单声道"};
    static constexpr std::array<const char*, 4> kEnglish = {"Stereo", "Joint Stereo",
                                                            "Dual Channel", "Mono"};
    if (channelMode < 0 || channelMode > 3)
        return {};
    return CurrentLanguage() == Language::Chinese ? kChinese[channelMode] : kEnglish[channelMode];
}

}  // namespace partita
