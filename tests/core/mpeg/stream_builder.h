#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mpeg/frame_header.h"

namespace partita::test {

// Builds MPEG audio streams byte by byte: frames of exact lengths with silent (zero) payload,
// VBR header frames and tags, so a test knows every offset.
using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint32_t kCbr128 = 0xFFFB9064;  // MPEG 1 Layer III 128k 44100 joint
inline constexpr std::uint32_t kCbr192 = 0xFFFBB064;  // the same at 192k

inline void PutWord(Bytes& out, std::size_t at, std::uint32_t word) {
    out[at] = static_cast<std::uint8_t>(word >> 24);
    out[at + 1] = static_cast<std::uint8_t>(word >> 16);
    out[at + 2] = static_cast<std::uint8_t>(word >> 8);
    out[at + 3] = static_cast<std::uint8_t>(word);
}

// One frame of the header's length: the header, then zero bytes.
inline Bytes Frame(std::uint32_t word) {
    Bytes frame(static_cast<std::size_t>(DecodeHeader(word).frameLength), 0);
    PutWord(frame, 0, word);
    return frame;
}

inline void AppendFrames(Bytes& out, std::uint32_t word, std::size_t count) {
    Bytes frame = Frame(word);
    for (std::size_t i = 0; i < count; ++i)
        out.insert(out.end(), frame.begin(), frame.end());
}

// A header frame carrying `tag` ("Xing", "Info" or "VBRI") with a frame count, at the place
// its layout asks for.
inline Bytes VbrFrame(std::uint32_t word, const char* tag, std::uint32_t frames) {
    Bytes frame = Frame(word);
    FrameHeaderInfo h = DecodeHeader(word);
    bool vbri = std::strcmp(tag, "VBRI") == 0;
    std::size_t at = vbri ? 36 : 4 + static_cast<std::size_t>(SideInfoSize(h));
    std::memcpy(frame.data() + at, tag, 4);
    PutWord(frame, at + (vbri ? 14 : 8), frames);
    PutWord(frame, at + (vbri ? 10 : 12), 123456);
    if (!vbri)
        PutWord(frame, at + 4, 0x0F);
    return frame;
}

// A leading ID3v2 tag of `size` bytes in all (version 3 unless told).
inline Bytes Id3v2(std::uint32_t size, std::uint8_t version = 3) {
    std::uint32_t s = size - 10;
    Bytes tag = {'I',
                 'D',
                 '3',
                 version,
                 0,
                 0,
                 static_cast<std::uint8_t>((s >> 21) & 0x7F),
                 static_cast<std::uint8_t>((s >> 14) & 0x7F),
                 static_cast<std::uint8_t>((s >> 7) & 0x7F),
                 static_cast<std::uint8_t>(s & 0x7F)};
    tag.resize(size, 0);
    return tag;
}

inline Bytes Id3v1(const std::string& title) {
    Bytes tag(128, 0);
    std::memcpy(tag.data(), "TAG", 3);
    std::memcpy(tag.data() + 3, title.data(), std::min<std::size_t>(title.size(), 30));
    tag[127] = 255;
    return tag;
}

inline void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

}  // namespace partita::test
