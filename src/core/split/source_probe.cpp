#include "split/source_probe.h"

#include "app/message_format.h"
#include "split/split_engine.h"

namespace partita {

std::optional<SourceFacts> FileSourceProbe::Probe(const std::string& path, ProbeFailure* failure) {
    SplitSource source = PrepareSource(path, SplitMode::Fast);
    if (source.audioType == kAudioUnknown || source.durationMs == 0) {
        if (failure)
            *failure = {125, Message(125, path)};
        return std::nullopt;
    }
    SourceFacts facts;
    facts.audioType = source.audioType;
    facts.durationMs = source.durationMs;
    return facts;
}

}  // namespace partita
