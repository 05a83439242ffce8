#pragma once

#include <cstdint>
#include <string>

namespace partita {

// The decoded 32-bit header of one MPEG audio frame (ISO/IEC 11172-3, 13818-3).
//
// Header word, most significant bit first (the file holds it big-endian):
//   31-21 sync (all ones)        20-19 version       18-17 layer       16 protection bit
//   15-12 bitrate index          11-10 sample rate   9 padding         8 private bit
//   7-6 channel mode             5-4 mode extension  3 copyright       2 original
//   1-0 emphasis
struct FrameHeaderInfo {
    int version = 0;        // 0 reserved, 1 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
    int layer = 0;          // 1, 2 or 3; 0 for the reserved code
    int protectionBit = 0;  // 1 = no CRC follows the header
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    int copyrightBit = 0;
    int originalBit = 0;
    int emphasis = 0;
    int frameLength = 0;  // bytes, header included

    bool operator==(const FrameHeaderInfo&) const = default;
};

// Bits that stay equal within one stream: sync, version, layer and sample rate.
inline constexpr std::uint32_t kSameStreamMask = 0xFFFE0C00;
// The looser test for the frame after a VBR header frame: sync, version and layer only.
inline constexpr std::uint32_t kSameLayerMask = 0xFFFE0000;

// Whether the word is a usable frame header: sync, no reserved version, layer, sample rate or
// emphasis, and a bitrate from the tables (free format and index 15 are refused).
bool IsValidHeader(std::uint32_t word);

// Decodes a word that passed IsValidHeader.
void DecodeHeader(std::uint32_t word, FrameHeaderInfo& out);
FrameHeaderInfo DecodeHeader(std::uint32_t word);

// Whether two header words belong to one stream; bitrate, padding and mode may differ.
constexpr bool SameStream(std::uint32_t a, std::uint32_t b) {
    return ((a ^ b) & kSameStreamMask) == 0;
}
// Whether two header words have the same sync, version and layer (sample rate not compared).
constexpr bool SameLayer(std::uint32_t a, std::uint32_t b) {
    return ((a ^ b) & kSameLayerMask) == 0;
}

// Assembles a header word from four bytes in file order.
constexpr std::uint32_t HeaderWord(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// Playing time of one frame in ms, from its length and bitrate; 0 when the bitrate is 0.
inline double FrameDurationMs(const FrameHeaderInfo& header) {
    return header.bitrateKbps == 0
               ? 0.0
               : static_cast<double>(header.frameLength) * 8.0 / header.bitrateKbps;
}

// Samples in one frame: 384 (Layer I), 1152 (Layer II, Layer III of MPEG 1) or 576 (Layer III
// of MPEG 2 and 2.5).
int SamplesPerFrame(const FrameHeaderInfo& header);

// Bytes of Layer III side information after the 4-byte header (where a Xing tag begins);
// a CRC is not allowed for.
int SideInfoSize(const FrameHeaderInfo& header);

// "MPEG 1.0", "MPEG 2.0", "MPEG 2.5", "N/A" for 0, the empty text otherwise.
std::string VersionText(int version);
// The channel mode's name (stereo, joint stereo, dual channel, mono) in the program's texts.
std::string ModeText(int channelMode);

}  // namespace partita
