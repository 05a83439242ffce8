#include "split/source_probe.h"

#include "app/user_message.h"
#include "audio/audio_file_info.h"
#include "audio/open_error.h"
#include "split/split_engine.h"
#include "tags/tag_reader.h"

namespace partita {

std::optional<SourceFacts> FileSourceProbe::Probe(const std::string& path, UserMessage* failure) {
    SourceFacts facts;
    // Analysed as the split will be in the default mode, so the list shows the duration the
    // split works with.
    SplitSource source = PrepareSource(path, mode_);
    if (source.audioType == audio::AudioType::Mpeg || source.audioType == audio::AudioType::Wav) {
        if (source.durationMs == 0) {
            if (failure)
                *failure = {Msg::CannotLoadFile, path};
            return std::nullopt;
        }
        facts.audioType = source.audioType;
        facts.durationMs = source.durationMs;
    } else {
        audio::AudioFileInfo info;
        audio::OpenError error = audio::ReadAudioFileInfo(path, info);
        if (error != audio::OpenError::None || info.durationMs == 0) {
            if (failure)
                *failure = audio::OpenErrorMessage(path, error);
            return std::nullopt;
        }
        facts.audioType = info.type;
        facts.durationMs = info.durationMs;
    }
    facts.tagsRead = ReadTags(path, codePage_, facts.tags);
    return facts;
}

}  // namespace partita
