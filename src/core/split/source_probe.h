#pragma once

#include <string>

#include "split/source_loader.h"
#include "split/split_row.h"

namespace partita {

// Probes real files: MPEG audio and WAV as the split engine analyses them (the audio module is
// not needed for them), every other format through the audio layer; the tags through the tag
// reader.
class FileSourceProbe : public SourceProbe {
  public:
    // `legacyCodePage`: that of ID3v1 texts (setting "Legacy Code Page").
    explicit FileSourceProbe(std::string legacyCodePage = "ISO-8859-1")
        : codePage_(std::move(legacyCodePage)) {}
    std::optional<SourceFacts> Probe(const std::string& path, SplitMode mode,
                                     const LoadProgress& progress, ProbeFailure* failure) override;

  private:
    std::string codePage_;
};

}  // namespace partita
