#include "info_audio.h"

#include <cmath>
#include <filesystem>

#include "app/message_format.h"
#include "app/time_text.h"
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
             SettingsStore& settings) {
    TagTexts tags;
    bool read = ReadTags(path, settings, tags);
    item["tags"] = {{"title", tags.title}, {"artist", tags.artist},   {"album", tags.album},
                    {"year", tags.year},   {"comment", tags.comment}, {"track", tags.track},
                    {"genre", tags.genre}};
    if (!read) {
        item["tagsError"] = Message(316);
        text += "  tags: " + Message(316) + "\n";
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

}  // namespace

bool AddAudioInfo(nlohmann::json& item, std::string& text, const std::string& path,
                  SettingsStore& settings) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return false;
    bool ok = true;
    // MPEG files are known by their extension; their facts come from the frame analysis.
    if (audio::AudioTypeFromExtension(path) != audio::AudioType::Mpeg) {
        audio::AudioFileInfo info;
        audio::OpenError error = audio::ReadAudioFileInfo(path, info);
        if (error != audio::OpenError::None) {
            std::string message = audio::OpenErrorMessage(path, error);
            if (!item.contains("error"))
                item["error"] = message;
            text += "  error: " + message + "\n";
            ok = false;
        } else {
            int bitrate = info.hasWmaTags
                              ? info.wmaBitrateKbps
                              : static_cast<int>(std::nearbyint(info.averageBitrateKbps));
            item["audioType"] = audio::ToInt(info.type);
            item["durationMs"] = info.durationMs;
            item["sampleRate"] = info.sampleRate;
            item["channels"] = info.channels;
            item["bitrateKbps"] = bitrate;
            if (info.type == audio::AudioType::Wma)
                item["vbr"] = info.wmaVbr;
            text += "  audio type: " + std::to_string(audio::ToInt(info.type)) + " (" +
                    TypeName(info.type) + ")\n";
            text += "  duration: " + FormatTime(info.durationMs, kTimeList) + " (" +
                    std::to_string(info.durationMs) + " ms)\n";
            text += "  sample rate: " + std::to_string(info.sampleRate) + " Hz\n";
            text += "  channels: " + std::to_string(info.channels) + "\n";
            text += "  bitrate: " + std::to_string(bitrate) + " kbps" +
                    (info.type == audio::AudioType::Wma && info.wmaVbr ? " VBR" : "") + "\n";
        }
    }
    AddTags(item, text, path, settings);
    return ok;
}

}  // namespace partita::cli
