#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mpeg/frame_table.h"
#include "mpeg/mpeg_analysis.h"
#include "split/piece_writer.h"
#include "split/priming_plan.h"

namespace partita {

// Cuts that gapless players (those that read the LAME tag: delay and padding) hear as their
// source.

// The header frame of a cut of `range` (whole frames) of `info`'s source: the source's, with
// the counts and the seek table of the frames in the range, and in a LAME extension the
// source's delay only where the range begins at the first audio frame, its padding only where
// it ends with the audio, the cut's music length and a new tag CRC. Empty when the source has
// no header frame or it cannot be read.
std::vector<std::uint8_t> CutHeaderFrame(const MpegAnalysis& info, BufferedFile& file,
                                         ByteRange range);

// The bytes that the frame at `offset` of an MPEG file takes from the frames before it (its
// main_data_begin): what a cut that begins there lacks of its first frame. 0 when there is no
// Layer III frame of a stream there (followed by another or by the file's end), and for WAV
// files.
int FrameBorrowsAt(const std::string& path, std::uint64_t offset);

// A Layer III source prepared for sample-accurate cuts: every audio frame, the samples a
// gapless decoder plays, and the header frame its pieces start from (the source's when it has
// a LAME extension, else a fresh one).
struct SampleAccurateSource {
    FrameTable frames;
    SampleTimeline timeline;
    std::vector<std::uint8_t> headerFrame;
    std::uint64_t tagOffset = 0;
};

// Walks the source's frames; nullopt for another layer than III or a source without frames.
std::optional<SampleAccurateSource> PrepareSampleAccurate(const MpegAnalysis& info,
                                                          BufferedFile& file);

// The piece that plays exactly [startMs, endMs) of the source in a gapless decoder (an end at
// or past the source's duration is its end): priming frames before the cut, so the first kept
// frame decodes as in the source, a silent frame of its own that carries the priming frames'
// reservoir when it lies in frames left out, and a header frame whose LAME delay leaves out
// everything before the cut and whose padding everything after it. nullopt for an empty piece.
std::optional<PieceLayout> SampleAccuratePiece(const MpegAnalysis& info,
                                               const SampleAccurateSource& source,
                                               BufferedFile& file, std::uint64_t startMs,
                                               std::uint64_t endMs);

}  // namespace partita
