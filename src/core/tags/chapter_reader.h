#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "tags/chapter.h"

namespace partita {

// How far a chapter may end past the end of the audio and still be kept, its end then being
// the end of the audio: writers measure a file's length in their own way (with or without the
// encoder's delay and padding, from a bitrate estimate), so the last chapter of a file often
// ends a little after the length this program finds.
inline constexpr std::uint64_t kChapterEndSlackMs = 1000;

// The CHAP frames of the leading ID3v2 tag of an MPEG audio file, in playing order, not yet
// checked against each other (TagLib reads the frames):
// - with a table of contents, the order of the top-level CTOC frame (the one flagged top-level,
//   else one no other table lists); a nested table's entries stand where the table is listed,
//   and a table not flagged "ordered" has its entries sorted by start time. Chapters no table
//   reaches are skipped as NotInTable, listed ids without a CHAP frame as NotFound;
// - without one, every CHAP frame sorted by start time (frames starting together stay in the
//   tag's order).
// A file without an ID3v2 tag or without chapters gives an empty list; nullopt when the file
// cannot be read.
std::optional<ChapterList> ReadChapterFrames(const std::filesystem::path& path);

// Checks chapters in playing order against each other and the audio's length, keeping what
// `ordered.skipped` already holds. Each chapter in turn:
// - an unset end (kChapterTimeUnset), or an end equal to the start (a point mark, as editors
//   write markers), becomes the start of the next chapter, for the last one the end of the
//   audio, as players take them;
// - it is left out as PastEndOfAudio when it starts at or after `durationMs` or ends more than
//   kChapterEndSlackMs after it; an end within the slack becomes `durationMs`;
// - as EndNotAfterStart when it ends where or before it starts;
// - as OverlapsPrevious when it starts before the last chapter kept ends.
// A chapter ending exactly where the next starts is the usual case and kept as it is; a gap
// between two chapters is kept as a gap.
ChapterList CheckChapters(ChapterList ordered, std::uint64_t durationMs);

// ReadChapterFrames, then CheckChapters.
std::optional<ChapterList> ReadChapters(const std::filesystem::path& path,
                                        std::uint64_t durationMs);

}  // namespace partita
