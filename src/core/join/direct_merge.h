#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/job_host.h"
#include "join/merge_source.h"
#include "tags/tag_info.h"

namespace partita {

struct DirectMergeOptions {
    std::size_t bufferBytes = 5'000'000;
    std::string legacyCodePage = "ISO-8859-1";  // for the sources' ID3v1 texts
    // When given, receives where each source merged lies in the output (its frames counted).
    std::vector<MergedPiece>* pieces = nullptr;
};

// Joins the sources by copying their MPEG audio frames into `output` (an open, empty file;
// `outputPath` names the output in messages), without decoding:
// - an ID3v2 tag of the record first when it asks for one;
// - per source, its audio from its first frame to the end of its audio (never its tags), or its
//   partial range, whose ends are frame starts (through the frame index when the file has a
//   header frame, else by its bitrate; then snapped to the frame found there);
// - after each source, its silence as silent frames of its stream;
// - when the first source has a Xing, Info or VBRI header frame, that frame goes first (then
//   the range), and at the end its counts are rewritten: the audio frames written (silent ones
//   included) and the bytes from the header frame to the end of the audio.
// Progress steps per source; the status shows MergingFile; the stop request is read after every
// chunk and confirmed with ConfirmStopMerge. A source that cannot be analysed (CannotLoadFile) or
// opened (CannotOpenFile) asks Abort, Retry or Ignore. A failed write gives CannotWriteFile.
MergeResult DirectMerge(const std::vector<MergeSource>& sources, std::FILE* output,
                        const std::string& outputPath, const TagInfo& tags, JobHost& host,
                        const DirectMergeOptions& options = {});

}  // namespace partita
