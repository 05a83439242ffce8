#pragma once

#include <cstdint>

#include "mpeg/buffered_file.h"

namespace partita {

// Where the tags around the audio of an MPEG file lie.

// The length of a leading ID3v2 tag of any version (2.2, 2.3 and 2.4, with a 2.4 footer),
// header included; 0 when the file does not begin with one that fits it.
std::uint64_t LeadingId3v2Size(BufferedFile& file);

// Where the tags at the end of the file begin (the file's size when it has none): an ID3v1 tag
// last, and before it, in any order, APEv2 tags, Lyrics3 tags (version 1 and 2) and ID3v2 tags
// (with a footer, or a header whose size ends the tag just there). Never below `floor`.
//
//   APEv2 footer (32 bytes, the last of the tag): "APETAGEX", version, size (of the items and
//     the footer), item count, flags (bit 31: a 32-byte header precedes the items), 8 zeros.
//   Lyrics3 v2: "LYRICSBEGIN" ... six decimal digits (the size up to them) "LYRICS200".
//   Lyrics3 v1: "LYRICSBEGIN" ... "LYRICSEND", at most 5100 bytes before "LYRICSEND".
//   ID3v2 footer (10 bytes): "3DI", version, flags, size (4 × 7 bits, of the frames).
std::uint64_t TrailingTagsStart(BufferedFile& file, std::uint64_t floor = 0);

}  // namespace partita
