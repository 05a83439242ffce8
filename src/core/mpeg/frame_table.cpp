#include "mpeg/frame_table.h"

#include <algorithm>

#include "mpeg/frame_header.h"

namespace partita {

FrameTable WalkFrames(BufferedFile& file, std::uint32_t streamHeader, std::uint64_t begin,
                      std::uint64_t end) {
    FrameTable table;
    end = std::min(end, file.Size());
    FrameHeaderInfo header;
    std::uint64_t p = begin;
    std::uint64_t pending = 0;  // bytes since the last frame that begin none
    while (p < end) {
        std::uint32_t word = 0;
        if (p + 4 <= end && file.WordAt(p, word) && IsValidHeader(word) &&
            SameStream(word, streamHeader)) {
            DecodeHeader(word, header);
            if (header.frameLength > 4) {
                if (pending > 0 && table.junkBytes == 0)
                    table.firstJunk = p - pending;
                table.junkBytes += pending;
                pending = 0;
                table.starts.push_back(p);
                p += static_cast<std::uint64_t>(header.frameLength);
                continue;
            }
        }
        ++pending;
        ++p;
    }
    table.lastCutShort = p > end;
    table.trailingBytes = pending;
    table.end = std::min(p, end) - pending;
    return table;
}

}  // namespace partita
