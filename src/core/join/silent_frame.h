#pragma once

#include <cstdint>
#include <vector>

namespace partita {

// A silent frame in the stream of `firstHeader`: that header with its protection bit set ("no
// CRC", as nothing follows it) and zero bytes up to the frame's full length. A Layer I, II or
// III frame whose bits after the header are all zero decodes as silence. Empty when the header
// gives no usable length.
std::vector<std::uint8_t> SilentFrame(std::uint32_t firstHeader);

// How many silent frames make `seconds` of silence: 1 + the bytes the bitrate gives in that
// time / the frame length (0 for no silence).
std::uint32_t SilentFrameCount(std::uint32_t firstHeader, int seconds);

}  // namespace partita
