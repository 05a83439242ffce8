#pragma once

#include <cstdint>
#include <optional>

#include "mpeg/buffered_file.h"

namespace partita {

// Where the frame search of a file may look, by what its first bytes (or those after a leading
// ID3v2 tag) say it is. Files of other formats can hold anything, including runs of bytes that
// pass for MPEG frames: they get no search at all.
//
// nullopt for RIFF files (WAVE of any codec but MPEG audio, AVI, ...), RF64 and BW64, Ogg, ASF
// and WMA, FLAC, MP4 and M4A ("ftyp" at byte 4), AIFF and other IFF files ("FORM"), Monkey's
// Audio, WavPack, and executables (ELF, "MZ"); the start of the data chunk for a RIFF/WAVE file
// whose format is MPEG audio (0x0050, 0x0055); `from` for anything else.
std::optional<std::uint64_t> MpegSearchStart(BufferedFile& file, std::uint64_t from);

}  // namespace partita
