#pragma once

#include <string>
#include <string_view>

#include "split/split_row.h"

namespace partita {

// Output naming: a rule of free text and case-sensitive placeholders names every output of a
// split, and may hold a folder part before its last folder separator ("\" or "/").
//   %F source file name without extension   %G split group name
//   %S the output's sequence number         %N number of tracks of the source
//   %T title   %A artist   %M album   %K track number (the track's columns, expanded)
// The tag columns themselves may hold %S (the track's position, three digits), %K and %M.

// The sequence format of a source of `trackCount` tracks: "%d" below 10 tracks, else zero
// padded to the digits of the count ("%02d" for 12 tracks, "%03d" for 150).
std::string SequenceFormat(int trackCount);
// `number` printed with a format made by SequenceFormat.
std::string FormatSequence(std::string_view format, int number);

// Expands one template column (title, artist, album, track number or comment) of a row's tags
// for the 0-based position `c`.
std::string ExpandField(const TagTemplates& tags, int c, int column);

// Expands a rule (or, with `isFolder`, a rule's folder part) for a row's tags. `c` is the 0-based
// sequence counter, -1 for none; `sequenceFormat` is the source's (SequenceFormat).
//
// A name gets the source's extension, and every character a file name cannot hold becomes "_"
// (folder separators included). A folder part keeps the rule's own separators, so it may name
// several levels, but what placeholders bring in cannot: separators in a tag become "_", and a
// level that comes out as ".." or "." becomes "_", so the result always stays below the folder
// it is combined with. Empty levels (and a leading separator) are dropped. The result of a
// folder part ends in "/" unless it is empty.
std::string ExpandName(const TagTemplates& tags, std::string_view rule, std::string_view sourcePath,
                       int c, bool isFolder, std::string_view sequenceFormat = "%d");

// A rule split at its last folder separator: the folder part up to and including it (empty when
// there is none) and the name part after it.
struct RuleParts {
    std::string folderPart;
    std::string namePart;
};
RuleParts SplitRule(std::string_view rule);

// The name alone when the folder is empty, else the folder and the name with one separator.
std::string CombinePath(std::string_view folder, std::string_view name);

// Replaces every occurrence of `from` in `text`.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to);

}  // namespace partita
