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
    // `mode`: the split mode new sources get (setting "Split Mode"); `legacyCodePage`: that of
    // ID3v1 texts (setting "Legacy Code Page").
    explicit FileSourceProbe(SplitMode mode = SplitMode::Auto,
                             std::string legacyCodePage = "ISO-8859-1")
        : mode_(mode), codePage_(std::move(legacyCodePage)) {}
    std::optional<SourceFacts> Probe(const std::string& path, UserMessage* failure) override;

  private:
    SplitMode mode_;
    std::string codePage_;
};

}  // namespace partita
