#pragma once

#include <cstdint>
#include <vector>

#include "mpeg/buffered_file.h"

namespace partita {

// The frames of one MPEG audio stream in a stretch of a file, in order.
struct FrameTable {
    std::vector<std::uint64_t> starts;  // file offsets of the frames
    std::uint64_t end = 0;              // just past the last frame, within the stretch
    std::uint64_t junkBytes = 0;        // bytes before or between frames that belong to none
    std::uint64_t firstJunk = 0;        // where the first such stretch begins (with junkBytes)
    std::uint64_t trailingBytes = 0;    // bytes after the last frame that begin none
    bool lastCutShort = false;          // the last frame runs past the stretch's end

    std::size_t Count() const { return starts.size(); }
};

// Walks [begin, end) from `begin` on: a header of the stream of `streamHeader` (same version,
// layer and sample rate, any bitrate) is a frame, and the walk moves on by its length; anywhere
// else it moves on by one byte, counting the byte as junk.
FrameTable WalkFrames(BufferedFile& file, std::uint32_t streamHeader, std::uint64_t begin,
                      std::uint64_t end);

}  // namespace partita
