#include "audio/audio_type.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "audio/audio_engine.h"

namespace partita::audio {
namespace {

constexpr std::array<std::pair<std::string_view, AudioType>, 8> kExtensions{{
    {"mp3", AudioType::Mpeg},
    {"mp2", AudioType::Mpeg},
    {"mp1", AudioType::Mpeg},
    {"wav", AudioType::Wav},
    {"ogg", AudioType::Ogg},
    {"wma", AudioType::Wma},
    {"asf", AudioType::Wma},
    {"aif", AudioType::Aiff},
}};

std::string Lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::optional<AudioType> AudioTypeFromExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (extension.size() < 2)
        return std::nullopt;
    extension = Lower(std::string_view(extension).substr(1));
    if (extension == "aiff")
        return AudioType::Aiff;
    for (const auto& [name, type] : kExtensions) {
        if (extension == name)
            return type;
    }
    return std::nullopt;
}

AudioType AudioTypeFromStream(std::string_view container, std::string_view codec) {
    std::string format = Lower(container);
    std::string name = Lower(codec);
    if (name == "mp1" || name == "mp2" || name == "mp3")
        return AudioType::Mpeg;
    if (StartsWith(name, "wma") || format == "asf")
        return AudioType::Wma;
    if (format == "aiff")
        return AudioType::Aiff;
    if (name == "vorbis")
        return AudioType::Ogg;
    // Integer and floating-point PCM; A-law, µ-law and the other coded kinds are not "PCM WAV".
    bool pcm = StartsWith(name, "pcm_s") || StartsWith(name, "pcm_u") || StartsWith(name, "pcm_f");
    if (pcm && (format == "wav" || format == "w64"))
        return AudioType::Wav;
    return AudioType::Unknown;
}

AudioType ClassifyAudioFile(const std::filesystem::path& path) {
    if (auto byExtension = AudioTypeFromExtension(path))
        return *byExtension;
    OpenResult opened = OpenAudioStream(path);
    if (!opened)
        return AudioType::Unknown;
    const StreamInfo& info = opened.stream->Info();
    return AudioTypeFromStream(info.container, info.codec);
}

}  // namespace partita::audio
