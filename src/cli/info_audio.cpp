#include "info_audio.h"

#include <cmath>
#include <utility>

#include "app/time_text.h"
#include "app/user_message.h"
#include "audio/audio_file_info.h"
#include "tags/tag_reader.h"

namespace partita::cli {
namespace {

const char* TypeName(audio::AudioType type) {
    switch (type) {
        case audio::AudioType::Mpeg:
            return "MPEG audio";
        case audio::AudioType::Wav:
            return "WAV";
        case audio::AudioType::Ogg:
            return "Ogg Vorbis";
        case audio::AudioType::Wma:
            return "Windows Media";
        case audio::AudioType::Aiff:
            return "AIFF";
        case audio::AudioType::Unknown:
            break;
    }
    return "unknown";
}

void AddTags(nlohmann::json& item, std::string& text, const std::string& path,
             std::string_view legacyCodePage) {
    TagTexts tags;
    bool read = ReadTags(path, legacyCodePage, tags);
    item["tags"] = {{"title", tags.title}, {"artist", tags.artist},   {"album", tags.album},
                    {"year", tags.year},   {"comment", tags.comment}, {"track", tags.track},
                    {"genre", tags.genre}};
    if (!read) {
        item["tagsError"] = Message(Msg::TagsUnreadable);
        text += "  tags: " + Message(Msg::TagsUnreadable) + "\n";
        return;
    }
    for (const auto& [name, value] :
         {std::pair{"title", &tags.title}, std::pair{"artist", &tags.artist},
          std::pair{"album", &tags.album}, std::pair{"year", &tags.year},
          std::pair{"comment", &tags.comment}, std::pair{"track", &tags.track},
          std::pair{"genre", &tags.genre}}) {
        if (!value->empty())
            text += std::string("  ") + name + ": " + *value + "\n";
    }
}

// The audio layer's facts of a file that is not MPEG audio.
bool AddStreamFacts(nlohmann::json& item, std::string& text, const std::string& path) {
    audio::AudioFileInfo info;
    audio::OpenError error = audio::ReadAudioFileInfo(path, info);
    if (error != audio::OpenError::None) {
        std::string message = audio::OpenErrorMessage(path, error).Text();
        if (!item.contains("error"))
            item["error"] = message;
        text += "  error: " + message + "\n";
        return false;
    }
    // The lists show the average as "%.0f": rounded to the nearest, halves to even.
    int bitrate = info.hasWmaTags ? info.wmaBitrateKbps
                                  : static_cast<int>(std::nearbyint(info.averageBitrateKbps));
    item["durationMs"] = info.durationMs;
    item["sampleRate"] = info.sampleRate;
    item["channels"] = info.channels;
    item["bitrateKbps"] = bitrate;
    if (info.type == audio::AudioType::Wma)
        item["vbr"] = info.wmaVbr;
    text += "  " + std::string(TypeName(info.type)) + ", " + std::to_string(info.sampleRate) +
            " Hz, " + std::to_string(info.channels) + " channel" + (info.channels == 1 ? "" : "s") +
            ", " + std::to_string(bitrate) + " kbit/s" +
            (info.type == audio::AudioType::Wma && info.wmaVbr ? " VBR" : "") + "\n";
    text += "  " + FormatTime(info.durationMs, kTimeList) + " (" + std::to_string(info.durationMs) +
            " ms)\n";
    return true;
}

}  // namespace

audio::AudioType ClassifyForInfo(const std::string& path, bool mpegStreamFound) {
    if (auto type = audio::AudioTypeFromExtension(path))
        return *type;
    if (mpegStreamFound)
        return audio::AudioType::Mpeg;
    return audio::ClassifyAudioFile(path);
}

bool AddAudioInfo(nlohmann::json& item, std::string& text, const std::string& path,
                  audio::AudioType type, std::string_view legacyCodePage) {
    if (type == audio::AudioType::Unknown)
        return true;
    bool ok = type == audio::AudioType::Mpeg || AddStreamFacts(item, text, path);
    AddTags(item, text, path, legacyCodePage);
    return ok;
}

}  // namespace partita::cli
