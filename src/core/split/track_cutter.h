#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/output_file.h"
#include "audio/audio_type.h"
#include "split/split_row.h"
#include "tags/tag_texts.h"

namespace partita {

// A byte range of a source file, end exclusive.
struct ByteRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
};

enum class CutOutcome {
    Written,  // the output is complete under its name
    Failed,   // nothing was written under the output's name; an existing file is unchanged
    NotCut,   // the source's format is not one that is cut
    Kept,     // a file appeared under the name while the cut ran and was kept (no leave to
              // replace it)
};

// Puts a finished output in place: Written, Kept or Failed.
inline CutOutcome CommitCut(OutputFile& out, ExistingOutput existing) {
    switch (out.Commit(existing)) {
        case CommitResult::Done:
            return CutOutcome::Written;
        case CommitResult::Kept:
            return CutOutcome::Kept;
        case CommitResult::Failed:
            break;
    }
    return CutOutcome::Failed;
}

// One source, analysed once before its tracks are cut.
class PreparedSource {
  public:
    virtual ~PreparedSource() = default;
    virtual audio::AudioType AudioType() const = 0;
    // Duration in ms; 0 when the source could not be analysed.
    virtual std::uint64_t DurationMs() const = 0;
    // Whether the file can be opened for reading; its tracks are passed over when not.
    virtual bool Readable() const = 0;
    // The source bytes a track would be made of; nullopt when the source is not cut.
    virtual std::optional<ByteRange> Plan(std::uint64_t startMs, std::uint64_t endMs) = 0;
    // Cuts one track into `outPath`; `copied` receives the source bytes taken. `existing` says
    // what becomes of a file found under the name when the output is put in place.
    virtual CutOutcome Cut(const std::string& outPath, std::uint64_t startMs, std::uint64_t endMs,
                           const TagTexts& tags, ExistingOutput existing, ByteRange* copied) = 0;
    // Writes the tags into a finished output whose cut does not carry them (WAV); true when
    // done or not needed.
    virtual bool WriteTags(const std::string& outPath, const TagTexts& tags) = 0;
};

// How tracks are cut (from the split job's options).
struct CutOptions {
    bool writeVbrHeader = true;           // a copy of the source's VBR header frame
    bool sampleAccurate = false;          // Layer III cut to the sample for gapless players
    std::string codePage = "ISO-8859-1";  // of the ID3v1 texts
};

// Told the share (0-100) of a long preparation done so far (the frame index of a source split
// frame by frame); returns false to stop it.
using PrepareProgress = std::function<bool(int percent)>;

// What the split job needs of the engine: the sources, prepared one at a time. A preparation
// that `progress` stopped gives a source that is not Readable.
class TrackCutter {
  public:
    virtual ~TrackCutter() = default;
    virtual std::unique_ptr<PreparedSource> Prepare(const std::string& path, SplitMode mode,
                                                    const CutOptions& options,
                                                    const PrepareProgress& progress) = 0;
};

}  // namespace partita
