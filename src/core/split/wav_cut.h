#pragma once

#include <cstdint>
#include <string>

#include "split/track_cutter.h"
#include "split/wav_layout.h"

namespace partita {

// The cut of one track of a WAV (or RF64) file into a new file: the source's header chunks, the
// samples between the two cut points (both on whole sample frames, the end never past the data
// chunk) and the RIFF sizes patched, so nothing is decoded.

// The source bytes of [startMs, endMs) of a file with this layout.
ByteRange WavSampleRange(const WavLayout& layout, std::uint64_t startMs, std::uint64_t endMs);

// Cuts [startMs, endMs) of the file at `sourcePath`, analysed as `layout`, into `outPath`. Fails
// when the range holds no samples, the file no longer has that layout or cannot be read, or the
// output cannot be written; the output appears under its name only when complete (see
// OutputFile for `existing`).
CutOutcome CutWav(const std::string& sourcePath, const WavLayout& layout,
                  const std::string& outPath, std::uint64_t startMs, std::uint64_t endMs,
                  ByteRange* copied = nullptr, ExistingOutput existing = ExistingOutput::Replace);

}  // namespace partita
