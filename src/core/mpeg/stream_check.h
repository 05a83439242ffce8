#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mpeg/frame_header.h"
#include "mpeg/frame_table.h"
#include "mpeg/lame_tag.h"

namespace partita {

// What is wrong with an MPEG audio file, as far as its bytes tell.
enum class StreamProblem {
    NoStream,           // no MPEG audio stream found
    Junk,               // bytes before or between frames that belong to none
    LastFrameCutShort,  // the last frame runs past the end of the audio
    FrameCount,         // the header frame's frame count is not the frames walked
    ByteCount,          // its byte count is not the bytes of header frame and audio
    TagCrc,             // the LAME tag's CRC is not that of its frame
    MusicLength,        // the LAME tag's music length is not the bytes of header frame and audio
    DelayAndPadding,    // the LAME delay and padding are more samples than the frames hold
    FirstFrameBorrows,  // an early frame's main data begins before the file's first frame
};

// The facts of one MPEG audio file, from a walk over all its frames.
struct StreamCheck {
    bool streamFound = false;
    FrameHeaderInfo header;            // of the first audio frame
    std::uint64_t headerFramePos = 0;  // the Xing, Info or VBRI frame (audio start without one)
    std::uint64_t audioStart = 0;      // the first audio frame
    std::uint64_t audioEnd = 0;        // the end of the audio: where the tags at the end begin
    FrameTable frames;                 // the audio frames
    std::string headerTag;             // "Xing", "Info", "VBRI", or empty without a header frame
    std::optional<std::uint32_t> statedFrames;  // what the header frame says, when it says it
    std::optional<std::uint32_t> statedBytes;
    std::optional<LameTag> lame;
    int borrowingFrame = -1;    // the first frame whose main data begins before the first frame
    int borrowedBytes = 0;      // how many bytes before it
    std::uint64_t samples = 0;  // samples per channel that a gapless decoder plays
    std::vector<StreamProblem> problems;

    // Bytes the header frame's counts describe: the header frame and the audio.
    std::uint64_t CountedBytes() const { return audioEnd - headerFramePos; }
    double DurationMs() const {
        return header.sampleRate > 0 ? 1000.0 * static_cast<double>(samples) / header.sampleRate
                                     : 0;
    }
};

// Walks the file's frames and reads its header frame and LAME tag. Any file is looked at,
// whatever its name.
StreamCheck CheckStream(const std::string& path);

// Whether the audio frames of `pieces`, one after the other, are the audio frames of `source`
// byte for byte (nothing left out, nothing doubled, nothing added).
struct FramePartition {
    bool holds = false;
    std::uint64_t sourceFrames = 0;
    std::uint64_t pieceFrames = 0;
    // Where the first difference is: the piece, and the frame within it; -1 when every piece
    // frame matched (then the pieces may end before the source does).
    int piece = -1;
    std::int64_t frame = -1;
};
FramePartition CheckFramePartition(const std::string& source,
                                   const std::vector<std::string>& pieces);

}  // namespace partita
