#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tags/chapter.h"

namespace partita {

// The ID3v2.3 frames that mark chapters, for the tag this program writes (MakeId3v2Tag,
// WriteId3v2): one CHAP frame per chapter, in the order given, with element ids "chp1",
// "chp2", ... (the chapters' own ids are not used, so every id is unique), its start and end
// time, unset byte offsets (0xFFFFFFFF), a TIT2 sub-frame with the title and, when the chapter
// has an artist, a TPE1 sub-frame; then one CTOC frame "toc", flagged top-level and ordered,
// listing the chapters in that order. Times above 0xFFFFFFFE ms are cut to it (0xFFFFFFFF
// would read as unset). TagLib renders the frames: sizes are plain big-endian numbers, as
// ID3v2.3 wants, and texts ISO-8859-1 or UTF-16 with a byte order mark, so a reader that does
// not know chapters skips the frames by their sizes. No chapters give no bytes.
std::vector<std::uint8_t> MakeChapterFrames(std::span<const Chapter> chapters);

}  // namespace partita
