#include "audio/audio_file_info.h"

#include "audio/audio_engine.h"
#include "tags/non_mpeg_tags.h"
#include "tags/wma_tag_parser.h"

namespace partita::audio {

double AverageBitrateKbps(std::uint64_t fileSize, std::uint64_t durationMs) {
    if (durationMs == 0)
        return 0;
    return static_cast<double>(fileSize) / (static_cast<double>(durationMs) / 1000.0 * 125.0) + 0.5;
}

OpenError ReadAudioFileInfo(const std::filesystem::path& path, AudioFileInfo& info) {
    info = {};
    OpenResult opened = OpenAudioStream(path);
    if (!opened)
        return opened.error;
    const StreamInfo& stream = opened.stream->Info();
    if (stream.durationMs == 0)
        return OpenError::Damaged;
    info.type =
        AudioTypeFromExtension(path).value_or(AudioTypeFromStream(stream.container, stream.codec));
    info.durationMs = stream.durationMs;
    info.sampleRate = stream.sampleRate;
    info.channels = stream.channels;
    info.fileSize = stream.fileSize;
    info.averageBitrateKbps = AverageBitrateKbps(stream.fileSize, stream.durationMs);
    if (info.type == AudioType::Wma) {
        std::string list = ReadWmaTagList(path);
        if (!list.empty()) {
            TagTexts texts;
            info.hasWmaTags = true;
            ParseWmaTags(list, texts, info.wmaBitrateKbps, info.wmaVbr);
        }
    }
    return OpenError::None;
}

}  // namespace partita::audio
