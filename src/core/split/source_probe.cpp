#include "split/source_probe.h"

#include "app/user_message.h"
#include "audio/audio_file_info.h"
#include "audio/open_error.h"
#include "split/split_engine.h"
#include "tags/tag_reader.h"

namespace partita {

std::optional<SourceFacts> FileSourceProbe::Probe(const std::string& path, SplitMode mode,
                                                  const LoadProgress& progress,
                                                  ProbeFailure* failure) {
    SourceFacts facts;
    // Analysed as the split will be in this mode, so the list shows the duration the split
    // works with.
    SplitSource source = PrepareSource(path, mode, progress);
    if (source.cancelled) {
        if (failure)
            failure->cancelled = true;
        return std::nullopt;
    }
    if (source.audioType == audio::AudioType::Mpeg || source.audioType == audio::AudioType::Wav) {
        if (source.durationMs == 0) {
            if (failure)
                failure->message =
                    UserMessage(Msg::CannotLoadFile, path).WithReason(ReadErrorOf(path));
            return std::nullopt;
        }
        facts.audioType = source.audioType;
        facts.durationMs = source.durationMs;
        facts.format = FormatOf(source);
        facts.analysis = std::make_shared<const SplitSource>(std::move(source));
    } else {
        audio::AudioFileInfo info;
        audio::OpenError error = audio::ReadAudioFileInfo(path, info);
        if (error != audio::OpenError::None || info.durationMs == 0) {
            if (failure)
                failure->message = audio::OpenErrorMessage(path, error);
            return std::nullopt;
        }
        facts.audioType = info.type;
        facts.durationMs = info.durationMs;
        facts.format.type = info.type;
        facts.format.sampleRate = info.sampleRate;
        facts.format.channels = info.channels;
    }
    facts.tagsRead = ReadTags(path, codePage_, facts.tags);
    return facts;
}

}  // namespace partita
