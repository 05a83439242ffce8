#include "mpeg/vbr_header.h"

#include <cstring>

namespace partita {
namespace {

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
    return HeaderWord(bytes);
}

void PutBigEndian32(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 24);
    out[1] = static_cast<std::uint8_t>(value >> 16);
    out[2] = static_cast<std::uint8_t>(value >> 8);
    out[3] = static_cast<std::uint8_t>(value);
}

bool StartsWith(std::span<const std::uint8_t> bytes, const char* tag) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), tag, 4) == 0;
}

}  // namespace

std::optional<VbrTag> ParseXingTag(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kVbrTagBytes)
        return std::nullopt;
    VbrTag tag;
    if (StartsWith(bytes, "Xing")) {
        tag.name = "Xing";
    } else if (StartsWith(bytes, "Info")) {
        tag.name = "Info";
    } else {
        return std::nullopt;
    }
    tag.type = VbrHeaderType::Xing;
    tag.frames = BigEndian32(bytes.data() + 8);
    return tag;
}

std::optional<VbrTag> ParseVbriTag(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kVbrTagBytes || !StartsWith(bytes, "VBRI"))
        return std::nullopt;
    VbrTag tag;
    tag.type = VbrHeaderType::Vbri;
    tag.name = "VBRI";
    tag.frames = BigEndian32(bytes.data() + 14);
    return tag;
}

void PatchVbrCounts(std::uint32_t frames, std::uint32_t bytes, VbrHeaderType type,
                    std::span<std::uint8_t> buffer) {
    if (buffer.size() < kVbrTagBytes)
        return;
    if (type == VbrHeaderType::Xing) {
        PutBigEndian32(buffer.data() + 8, frames);
        PutBigEndian32(buffer.data() + 12, bytes);
    } else if (type == VbrHeaderType::Vbri) {
        PutBigEndian32(buffer.data() + 10, bytes);
        PutBigEndian32(buffer.data() + 14, frames);
    }
}

}  // namespace partita
