#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "mpeg/buffered_file.h"
#include "mpeg/lame_tag.h"
#include "mpeg/mpeg_analysis.h"
#include "mpeg/vbr_header.h"

namespace partita {

// The header frame (Xing, Info or VBRI) of an analysed file: from its start up to the first
// audio frame and no longer than its header says; empty when the file has none or it cannot be
// read whole enough to hold its tag.
std::vector<std::uint8_t> ReadHeaderFrame(const MpegAnalysis& info, BufferedFile& file);

// The LAME extension of an analysed file's header frame, when it has one.
std::optional<LameTag> ReadSourceLameTag(const MpegAnalysis& info, BufferedFile& file);

// What follows a header frame in the file it is written to.
struct HeaderFrameUpdate {
    std::span<const std::uint64_t> frameStarts;  // the audio frames' offsets from its start
    std::uint64_t totalBytes = 0;                // the frame itself and the audio after it
    int delay = 0;                               // LAME delay and padding to write
    int padding = 0;
};

// Makes a header frame (a source's copy or a fresh one) describe the audio after it: the frame
// and byte counts, the seek table (a Xing TOC when the flags announce one, a VBRI table) and,
// where it has a LAME extension, the delay, the padding, the music length and the tag CRC. A
// Xing tag over more bytes than 32 bits hold leaves its byte count out.
// `tagOffset` is where "Xing", "Info" or "VBRI" begins in the frame.
void FinishHeaderFrame(std::span<std::uint8_t> frame, std::uint64_t tagOffset, VbrHeaderType type,
                       const HeaderFrameUpdate& update);

}  // namespace partita
