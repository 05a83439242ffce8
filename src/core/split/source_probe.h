#pragma once

#include "split/source_loader.h"

namespace partita {

// Probes real files: their audio type and duration as the split engine sees them, and their
// tags.
class FileSourceProbe : public SourceProbe {
  public:
    std::optional<SourceFacts> Probe(const std::string& path, ProbeFailure* failure) override;
};

}  // namespace partita
