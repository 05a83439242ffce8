#pragma once

#include <cstdint>

#include "mpeg/buffered_file.h"
#include "mpeg/frame_header.h"
#include "mpeg/mpeg_analysis.h"

namespace partita {

// Times of an analysed MPEG file found by counting its frames: every frame of a stream plays the
// same number of samples, so the time of a frame boundary is its frame count × samples per
// frame / sample rate. (Times summed from frame lengths drift: a VBR encoder pads no frame, so
// each counts short; a time mapped by one frame's bitrate is right only for a constant one.)

// The header of a frame of the analysed stream at `offset`, when there is one.
bool StreamHeaderAt(const MpegAnalysis& info, BufferedFile& file, std::uint64_t offset,
                    FrameHeaderInfo& frame);

// The frame boundary nearest to `ms`: frames counted from the index entry before it (the index's
// frame numbers are exact), or from the first audio frame in a file without an index. Never past
// the end of the audio.
std::uint64_t FrameBoundaryAt(const MpegAnalysis& info, BufferedFile& file, std::uint64_t ms);

// The duration of the audio counted in frames: the last index entry's frame number plus the
// frames after it, × samples per frame / sample rate (ms).
std::uint64_t CountedDurationMs(const MpegAnalysis& info, BufferedFile& file);

}  // namespace partita
