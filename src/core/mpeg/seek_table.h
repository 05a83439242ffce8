#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace partita {

// The seek tables of the header frames, rebuilt for the frames a file holds. Every frame of a
// stream plays the same number of samples, so a share of the playing time is that share of the
// frames.
//
// `frameStarts` are the audio frames' offsets from the header frame's start, in order, and
// `totalBytes` the bytes from the header frame's start to the end of the audio.

// The Xing table: entry i is 256 × the offset of the frame where i % of the playing time
// begins / the total bytes (at most 255).
std::array<std::uint8_t, 100> XingToc(std::span<const std::uint64_t> frameStarts,
                                      std::uint64_t totalBytes);

// Rewrites the table of a VBRI tag (the bytes from "VBRI" to the end of its frame). Layout
// (big-endian) from the tag: 18 entry count (2), 20 scale (2), 22 bytes per entry (2), 24 frames
// per entry (2), 26 the entries: the bytes of each run of that many frames, divided by the
// scale. The room the tag has for entries stays: more frames than it can cover make each entry
// cover more of them, and an entry too large for its bytes makes the scale larger. False when
// the tag's fields make no table (no room or an entry size other than 1 to 4 bytes).
bool RebuildVbriTable(std::span<std::uint8_t> tag, std::span<const std::uint64_t> frameStarts,
                      std::uint64_t totalBytes);

}  // namespace partita
