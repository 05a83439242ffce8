#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "mpeg/buffered_file.h"
#include "mpeg/frame_header.h"

namespace partita {

// The bit reservoir of Layer III. After a frame's header (and its CRC) comes its side
// information, then its main data area. A frame's audio data need not begin in its own area:
// main_data_begin, the first 9 bits of the side information (8 bits in MPEG 2 and 2.5), says
// how many bytes before its own area it begins, in the areas of the frames before it (at most
// 511 bytes back in MPEG 1, 255 in MPEG 2 and 2.5). A frame decodes right only when those bytes
// come before it.

// Bytes from a frame's start to its main data area: header, CRC when present, side information.
int MainDataOffset(const FrameHeaderInfo& header);

// The main_data_begin of a Layer III frame from its first bytes (header, CRC and side
// information at least); 0 for other layers and for too few bytes.
int MainDataBegin(std::span<const std::uint8_t> frame);

// The main_data_begin of the frame at `offset` of a file.
int MainDataBeginAt(BufferedFile& file, std::uint64_t offset);

// The `count` bytes of main data right before the frame with index `frame` of `frameStarts`:
// the ends of the main data areas of the frames before it, in stream order. Zeros stand for
// what lies before the first frame.
std::vector<std::uint8_t> ReservoirBefore(BufferedFile& file,
                                          std::span<const std::uint64_t> frameStarts,
                                          std::size_t frame, std::size_t count);

// A frame that decodes to silence and hands `reservoir` to the frame after it: the header
// `streamHeader` with the smallest bitrate whose main data area holds the bytes, no CRC and no
// padding; side information all zero (main_data_begin 0, no granule has data); its main data
// area ends with the bytes. Empty for another layer than III.
std::vector<std::uint8_t> ReservoirCarrier(std::uint32_t streamHeader,
                                           std::span<const std::uint8_t> reservoir);

}  // namespace partita
