#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "mpeg/frame_header.h"

namespace partita {

// The header a VBR stream carries in its first frame. "Info" (LAME's tag in constant-bitrate
// files) has the layout of "Xing" and counts as a Xing header here. The values are printed by
// `partita info --json`.
enum class VbrHeaderType : int { None = 0, Xing = 1, Vbri = 2 };

// Bytes read from the tag onward: enough for the tag, the frame count and the byte count.
inline constexpr std::size_t kVbrTagBytes = 18;
// The VBRI tag sits at a fixed place in its frame, whatever the version and mode.
inline constexpr std::uint64_t kVbriTagOffset = 36;

// Where the Xing or Info tag begins in a frame with this header: after the 4-byte header and
// the Layer III side information.
inline std::uint64_t XingTagOffset(const FrameHeaderInfo& header) {
    return 4 + static_cast<std::uint64_t>(SideInfoSize(header));
}

// What a VBR tag says, from the kVbrTagBytes bytes at the tag.
struct VbrTag {
    VbrHeaderType type = VbrHeaderType::None;
    std::string_view name;  // "Xing", "Info" or "VBRI"
    std::uint32_t frames = 0;
};

// Xing layout (big-endian):  0 "Xing"/"Info", 4 flags, 8 frame count, 12 byte count, 16 TOC...
// The counts are taken from offsets 8 and 12 whatever the flags say.
std::optional<VbrTag> ParseXingTag(std::span<const std::uint8_t> bytes);
// VBRI layout (big-endian):  0 "VBRI", 4 version, 6 delay, 8 quality, 10 byte count,
// 14 frame count, 18 seek table...
std::optional<VbrTag> ParseVbriTag(std::span<const std::uint8_t> bytes);

// Rewrites the frame and byte counts in bytes copied from the tag onward (at least
// kVbrTagBytes of them). Any other type leaves the bytes unchanged.
void PatchVbrCounts(std::uint32_t frames, std::uint32_t bytes, VbrHeaderType type,
                    std::span<std::uint8_t> buffer);

}  // namespace partita
