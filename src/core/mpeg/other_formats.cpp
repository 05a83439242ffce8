#include "mpeg/other_formats.h"

#include <cstring>

#include "mpeg/tag_bounds.h"

namespace partita {
namespace {

// WAVE format tags of MPEG audio: Layer I/II and Layer III.
constexpr std::uint16_t kWaveMpeg = 0x0050;
constexpr std::uint16_t kWaveMpegLayer3 = 0x0055;
// A RIFF file with more chunks than this before its data is not looked into further.
constexpr int kMostChunks = 64;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

bool Starts(const std::uint8_t* bytes, const char* magic, std::size_t at = 0) {
    return std::memcmp(bytes + at, magic, std::strlen(magic)) == 0;
}

// The data chunk of a RIFF/WAVE file at `at` whose format is MPEG audio; nullopt for any other.
std::optional<std::uint64_t> MpegWaveData(BufferedFile& file, std::uint64_t at) {
    std::uint64_t pos = at + 12;
    bool mpeg = false;
    for (int i = 0; i < kMostChunks; ++i) {
        std::uint8_t chunk[10];
        if (file.ReadAt(pos, chunk, sizeof chunk) < 8)
            return std::nullopt;
        const std::uint64_t size = Le32(chunk + 4);
        if (Starts(chunk, "fmt ")) {
            const unsigned tag = chunk[8] | (chunk[9] << 8);
            mpeg = tag == kWaveMpeg || tag == kWaveMpegLayer3;
        } else if (Starts(chunk, "data")) {
            if (mpeg)
                return pos + 8;
            return std::nullopt;
        }
        pos += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// Whether the bytes at `at` begin a file of another format; `wave` tells a RIFF/WAVE file.
bool OtherFormatAt(BufferedFile& file, std::uint64_t at, bool& wave) {
    static constexpr std::uint8_t kAsfHeader[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11};
    std::uint8_t head[12] = {};
    if (file.ReadAt(at, head, sizeof head) < 4)
        return false;
    wave = Starts(head, "RIFF") && Starts(head, "WAVE", 8);
    return Starts(head, "RIFF") || Starts(head, "RF64") || Starts(head, "BW64") ||
           Starts(head, "OggS") || Starts(head, "fLaC") || Starts(head, "ftyp", 4) ||
           Starts(head, "FORM") || Starts(head, "MAC ") || Starts(head, "wvpk") ||
           Starts(head, "\177ELF") || Starts(head, "MZ") ||
           std::memcmp(head, kAsfHeader, sizeof kAsfHeader) == 0;
}

}  // namespace

std::optional<std::uint64_t> MpegSearchStart(BufferedFile& file, std::uint64_t from) {
    const std::uint64_t tag = LeadingId3v2Size(file);
    for (std::uint64_t at : {std::uint64_t{0}, tag}) {
        bool wave = false;
        if (OtherFormatAt(file, at, wave))
            return wave ? MpegWaveData(file, at) : std::nullopt;
        if (tag == 0)
            break;
    }
    return from;
}

}  // namespace partita
