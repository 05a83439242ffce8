#include "mpeg/lame_tag.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "mpeg/frame_header.h"
#include "mpeg/vbr_header.h"

namespace partita {
namespace {

constexpr std::array<std::uint16_t, 256> MakeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        table[i] = crc;
    }
    return table;
}
constexpr std::array<std::uint16_t, 256> kCrcTable = MakeCrcTable();

// Offsets within the LAME extension.
constexpr std::size_t kRevisionAt = 9;
constexpr std::size_t kBitrateAt = 20;
constexpr std::size_t kDelaysAt = 21;
constexpr std::size_t kMusicLengthAt = 28;
constexpr std::size_t kMusicCrcAt = 32;
constexpr std::size_t kTagCrcAt = 34;
// Every Xing field: flags, frame count, byte count, seek table, quality.
constexpr std::uint32_t kAllXingFields = 0x0F;
constexpr std::size_t kAllXingFieldsSize = 8 + 4 + 4 + 100 + 4;

std::uint32_t Be32(const std::uint8_t* p) {
    return HeaderWord(p);
}

void PutBe(std::uint8_t* p, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

bool IsNameCharacter(std::uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::uint64_t PlayedSamples(std::uint64_t decoded, int delay, int padding) {
    const auto trimmed =
        static_cast<std::uint64_t>(delay + kDecoderDelay + std::max(0, padding - kDecoderDelay));
    return decoded > trimmed ? decoded - trimmed : 0;
}

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
    for (std::uint8_t byte : bytes)
        crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ byte) & 0xFF]);
    return crc;
}

XingFields XingLayout(std::span<const std::uint8_t> tag) {
    XingFields fields;
    if (tag.size() < 8)
        return fields;
    const std::uint32_t flags = Be32(tag.data() + 4);
    if (flags & 1)
        fields.end += 4;
    if (flags & 2)
        fields.end += 4;
    if (flags & 4) {
        fields.toc = fields.end;
        fields.end += 100;
    }
    if (flags & 8)
        fields.end += 4;
    return fields;
}

std::optional<LameTag> ReadLameTag(std::span<const std::uint8_t> frame, std::size_t tagOffset) {
    if (tagOffset + 8 > frame.size())
        return std::nullopt;
    const std::size_t at = tagOffset + XingLayout(frame.subspan(tagOffset)).end;
    if (at + kLameTagSize > frame.size())
        return std::nullopt;
    const std::uint8_t* p = frame.data() + at;
    // An encoder's name opens the extension ("LAME3.100", "Lavf", "Lavc"); anything else is
    // padding of a frame without one.
    if (!std::all_of(p, p + 4, IsNameCharacter))
        return std::nullopt;
    LameTag tag;
    tag.offset = at;
    tag.encoder.assign(reinterpret_cast<const char*>(p), 9);
    tag.encoder.erase(tag.encoder.find_last_not_of(std::string_view("\0 ", 2)) + 1);
    tag.delay = (p[kDelaysAt] << 4) | (p[kDelaysAt + 1] >> 4);
    tag.padding = ((p[kDelaysAt + 1] & 0x0F) << 8) | p[kDelaysAt + 2];
    tag.musicLength = Be32(p + kMusicLengthAt);
    tag.musicCrc = static_cast<std::uint16_t>((p[kMusicCrcAt] << 8) | p[kMusicCrcAt + 1]);
    tag.tagCrc = static_cast<std::uint16_t>((p[kTagCrcAt] << 8) | p[kTagCrcAt + 1]);
    tag.crcMatches = Crc16(frame.first(at + kTagCrcAt)) == tag.tagCrc;
    return tag;
}

void WriteLameTag(std::span<std::uint8_t> frame, std::size_t extension, int delay, int padding,
                  std::uint32_t musicLength) {
    if (extension + kLameTagSize > frame.size())
        return;
    std::uint8_t* p = frame.data() + extension;
    const auto d = static_cast<std::uint32_t>(std::clamp(delay, 0, kMaxLameDelay));
    const auto q = static_cast<std::uint32_t>(std::clamp(padding, 0, kMaxLameDelay));
    PutBe(p + kDelaysAt, (d << 12) | q, 3);
    PutBe(p + kMusicLengthAt, musicLength, 4);
    PutBe(p + kTagCrcAt, Crc16(frame.first(extension + kTagCrcAt)), 2);
}

std::vector<std::uint8_t> MakeTagFrame(std::uint32_t streamHeader, bool variableBitrate) {
    // No CRC, no padding, the first bitrate; then the smallest bitrate that holds the tag.
    std::uint32_t word = (streamHeader | 0x00010000u) & ~0x0000F230u;
    FrameHeaderInfo header;
    const auto tagAt = static_cast<std::size_t>(XingTagOffset(DecodeHeader(word | 0x1000u)));
    const std::size_t needed = tagAt + kAllXingFieldsSize + kLameTagSize;
    for (std::uint32_t index = 1; index < 15; ++index) {
        const std::uint32_t candidate = word | (index << 12);
        if (!IsValidHeader(candidate))
            return {};
        DecodeHeader(candidate, header);
        if (header.layer != MpegLayer::Layer3)
            return {};
        if (static_cast<std::size_t>(header.frameLength) >= needed) {
            word = candidate;
            break;
        }
    }
    if (static_cast<std::size_t>(header.frameLength) < needed)
        return {};
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(header.frameLength), 0);
    PutBe(frame.data(), word, 4);
    std::uint8_t* tag = frame.data() + tagAt;
    std::memcpy(tag, variableBitrate ? "Xing" : "Info", 4);
    PutBe(tag + 4, kAllXingFields, 4);
    std::uint8_t* lame = tag + kAllXingFieldsSize;
    std::memcpy(lame, "LAME", 4);
    // Tag revision 0; VBR method 1 (constant bitrate) or 0 (not known).
    lame[kRevisionAt] = variableBitrate ? 0 : 1;
    if (!variableBitrate)
        lame[kBitrateAt] = static_cast<std::uint8_t>(
            std::min(255, DecodeHeader(streamHeader | 0x00010000u).bitrateKbps));
    return frame;
}

}  // namespace partita
