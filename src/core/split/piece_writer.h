#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "split/file_copy.h"
#include "split/track_cutter.h"
#include "tags/tag_info.h"

namespace partita {

// What the cut of an MPEG track writes between its ID3 tags:
//   [header frame] [frames of its own] [the source's bytes `range`, whole frames]
struct PieceLayout {
    std::vector<std::uint8_t> headerFrame;  // Xing, Info or VBRI; empty for none
    std::vector<std::uint8_t> ownFrames;    // frames made here, not copied
    ByteRange range;
};

// Writes a piece: an ID3v2 tag when the record asks for one, the layout, an ID3v1 tag (texts in
// `codePage`) when asked. The ID3v2 tag's padding puts the copied frames at the same place
// within a memory page as in the source, so the kernel copies whole pages. The output appears
// under its name only when complete (see OutputFile for `existing`); `copied` receives the
// range.
CutOutcome WritePiece(const ReadOnlyFile& in, const std::string& outPath, const PieceLayout& piece,
                      const TagInfo& tags, const std::string& codePage, ByteRange* copied,
                      ExistingOutput existing = ExistingOutput::Replace);

}  // namespace partita
