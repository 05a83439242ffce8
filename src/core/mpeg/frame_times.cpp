#include "mpeg/frame_times.h"

#include <algorithm>
#include <cmath>

#include "mpeg/frame_table.h"

namespace partita {

bool StreamHeaderAt(const MpegAnalysis& info, BufferedFile& file, std::uint64_t offset,
                    FrameHeaderInfo& frame) {
    std::uint32_t word = 0;
    if (!file.WordAt(offset, word) || !IsValidHeader(word) || !SameStream(word, info.firstHeader))
        return false;
    DecodeHeader(word, frame);
    return frame.frameLength > 0;
}

std::uint64_t FrameBoundaryAt(const MpegAnalysis& info, BufferedFile& file, std::uint64_t ms) {
    const int samples = SamplesPerFrame(info.header);
    if (info.header.sampleRate == 0 || ms == 0)
        return info.dataStart;
    const std::uint64_t target = static_cast<std::uint64_t>(
        std::llround(static_cast<double>(ms) * info.header.sampleRate / (samples * 1000.0)));
    std::uint64_t frames = 0;
    std::uint64_t p = info.dataStart;
    for (const FrameIndexEntry& entry : info.index) {
        if (entry.frameNumber < 0 || static_cast<std::uint64_t>(entry.frameNumber) > target)
            break;
        frames = static_cast<std::uint64_t>(entry.frameNumber);
        p = entry.endOffset;
    }
    const std::uint64_t end = info.audioEnd;
    FrameHeaderInfo frame;
    while (frames < target && p < end) {
        if (StreamHeaderAt(info, file, p, frame)) {
            p += static_cast<std::uint64_t>(frame.frameLength);
            ++frames;
        } else if (p + 4 > file.Size()) {
            break;
        } else {
            ++p;  // a damaged stretch: on to the next header
        }
    }
    return std::min(p, end);
}

std::uint64_t CountedDurationMs(const MpegAnalysis& info, BufferedFile& file) {
    if (info.header.sampleRate == 0)
        return info.durationMs;
    std::uint64_t frames = 0;
    std::uint64_t from = info.dataStart;
    if (!info.index.empty() && info.index.back().frameNumber > 0) {
        frames = static_cast<std::uint64_t>(info.index.back().frameNumber);
        from = info.index.back().endOffset;
    }
    frames += WalkFrames(file, info.firstHeader, from, info.audioEnd).Count();
    return frames * static_cast<std::uint64_t>(SamplesPerFrame(info.header)) * 1000 /
           static_cast<std::uint64_t>(info.header.sampleRate);
}

}  // namespace partita
