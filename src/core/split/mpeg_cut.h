#pragma once

#include <cstdint>
#include <string>

#include "mpeg/frame_times.h"
#include "mpeg/mpeg_analysis.h"
#include "mpeg/tag_bounds.h"
#include "split/track_cutter.h"
#include "tags/tag_info.h"

namespace partita {

// The cut of one track of an MPEG audio file into a new file, whole frames copied as they are:
//   [ID3v2 tag] [the source's VBR header frame for the output] [frames] [ID3v1 tag]
// (see piece_writer.h). The header frame comes only from a source that has one (Xing, Info or
// VBRI), and only when `writeVbrHeader` is set; its counts, seek table and LAME fields are the
// output's (see gapless_cut.h). Nothing is decoded; frames are looked at only at the two cut
// points, and walked for the header frame.
struct MpegCutOptions {
    bool noIndex = true;  // map times by the bitrate, not through the frame index
    bool writeVbrHeader = true;
    std::string codePage = "ISO-8859-1";                // of the ID3v1 texts
    ExistingOutput existing = ExistingOutput::Replace;  // a file found under the output's name
};

// The first byte after the audio frames: before the file's trailing tags and a last frame cut
// short (see MpegAnalysis::audioEnd).
std::uint64_t AudioEnd(const MpegAnalysis& info);

// The frame start at or after `offset`: a header of the first frame's stream with a bitrate,
// less than five of its frame lengths away, and confirmed by the header of the frame after it
// (or by the end of the audio), so a false sync inside a frame's data is passed over. `offset`
// itself when there is none.
std::uint64_t SnapToConfirmedFrame(const MpegAnalysis& info, BufferedFile& file,
                                   std::uint64_t offset);

// The source bytes a cut between the two offsets copies (both snapped to frame starts).
ByteRange SnappedRange(const MpegAnalysis& info, BufferedFile& file, std::uint64_t startOffset,
                       std::uint64_t endOffset);

// Cuts the bytes between two offsets (snapped to frames). Fails when the start lies after the
// end, no frame lies between them, or the source cannot be read; the output appears under its
// name only when complete.
CutOutcome CutByOffset(MpegAnalysis& info, const std::string& outPath, std::uint64_t startMs,
                       std::uint64_t startOffset, std::uint64_t endMs, std::uint64_t endOffset,
                       const MpegCutOptions& options, const TagInfo& tags,
                       ByteRange* copied = nullptr);

// Maps both times with TimeToOffset (on the time scale `refDurationMs`, 0 for the file's own)
// and cuts between them.
CutOutcome CutByTime(MpegAnalysis& info, const std::string& outPath, std::uint64_t startMs,
                     std::uint64_t endMs, std::uint64_t refDurationMs,
                     const MpegCutOptions& options, const TagInfo& tags,
                     ByteRange* copied = nullptr);

// The offsets a track of the job maps to: its start (the first audio frame for 0) and its end
// (the end of the audio from the source's duration on). In frame mode (an index and not
// `noIndex`) through FrameBoundaryAt, else through TimeToOffset.
ByteRange MpegTrackOffsets(MpegAnalysis& info, BufferedFile& file, std::uint64_t startMs,
                           std::uint64_t endMs, bool noIndex);

}  // namespace partita
