#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace partita {

// A Layer III decoder's own latency: its first output sample belongs to the 529th sample of the
// music it was given. A gapless decoder drops the LAME delay plus these samples at the start and
// the LAME padding less these samples at the end.
inline constexpr int kDecoderDelay = 529;
// Delay and padding are 12-bit fields.
inline constexpr int kMaxLameDelay = 4095;

// The samples a gapless decoder plays of the `decoded` samples of a file whose LAME tag has this
// delay and padding: it drops delay + 529 at the start and padding - 529 at the end.
std::uint64_t PlayedSamples(std::uint64_t decoded, int delay, int padding);

// CRC-16 with the polynomial 0x8005 in its reflected form (0xA001), continued from `crc`: the
// check of a LAME tag (and of the music it describes).
std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

// Where the fields of a Xing or Info tag lie, offsets from its first byte. The flags (bytes 4-7,
// big-endian) say which optional fields follow them, in this order: 1 frame count, 2 byte count,
// 4 seek table (100 bytes), 8 quality.
struct XingFields {
    std::size_t toc = 0;  // the seek table; 0 when the flags announce none
    std::size_t end = 8;  // just past the last field: where a LAME extension begins
};
// The layout from the tag's first 8 bytes (at least 8 must be given).
XingFields XingLayout(std::span<const std::uint8_t> tag);

// The LAME extension of a Xing or Info tag: 36 bytes right after the tag's fields.
//    0 encoder (9 characters)      9 tag revision, VBR method    10 lowpass
//   11 replay gain (8 bytes)      19 encoding flags, ATH type    20 bitrate
//   21 delay (12 bits), padding (12 bits)                        24 misc   25 MP3 gain
//   26 preset, surround           28 music length                32 music CRC
//   34 tag CRC: the CRC-16 of every byte of the frame before it
inline constexpr std::size_t kLameTagSize = 36;

struct LameTag {
    std::size_t offset = 0;         // of the extension in its frame
    std::string encoder;            // as written, trailing blanks and zeros dropped
    int delay = 0;                  // samples the encoder put before the music
    int padding = 0;                // samples it put after the music
    std::uint32_t musicLength = 0;  // bytes from the header frame's start to the audio's end
    std::uint16_t musicCrc = 0;
    std::uint16_t tagCrc = 0;
    bool crcMatches = false;  // the tag CRC is the frame's
};

// The LAME extension of a header frame whose Xing or Info tag begins at `tagOffset` (the whole
// frame given); nullopt when the frame holds none (the bytes after the tag's fields do not begin
// with an encoder name, or the frame ends too soon).
std::optional<LameTag> ReadLameTag(std::span<const std::uint8_t> frame, std::size_t tagOffset);

// Writes delay, padding (each clamped to 12 bits) and music length into the extension at
// `extension` and the tag CRC over the frame's bytes before it.
void WriteLameTag(std::span<std::uint8_t> frame, std::size_t extension, int delay, int padding,
                  std::uint32_t musicLength);

// A fresh header frame for a Layer III stream whose frames have the header `streamHeader`: its
// version, sample rate and channel mode, the smallest bitrate whose frame holds the tag, no CRC;
// the tag "Xing" (for a variable bitrate) or "Info" with every field, counts and seek table zero,
// and a LAME extension that names no encoder version. Empty for another layer.
std::vector<std::uint8_t> MakeTagFrame(std::uint32_t streamHeader, bool variableBitrate);

}  // namespace partita
