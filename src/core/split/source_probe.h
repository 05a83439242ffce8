#pragma once

#include "split/item_info.h"
#include "split/source_loader.h"

namespace partita {

// Probes real files: their audio type and duration as the split engine sees them, and their
// tags.
class FileSourceProbe : public SourceProbe {
  public:
    // `mode`: the split mode new sources get (setting "Split Mode").
    explicit FileSourceProbe(SplitMode mode = SplitMode::Auto) : mode_(mode) {}
    std::optional<SourceFacts> Probe(const std::string& path, ProbeFailure* failure) override;

  private:
    SplitMode mode_;
};

}  // namespace partita
