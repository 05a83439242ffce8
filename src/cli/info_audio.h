#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "audio/audio_type.h"

namespace partita::cli {

// The audio type of a file for the info report: its extension when that decides; otherwise
// MPEG audio when the frame analysis found a stream (so an MPEG file never loads the audio
// module), else what the audio layer finds when it opens the file.
audio::AudioType ClassifyForInfo(const std::string& path, bool mpegStreamFound);

// What the info report adds to the frame analysis of an audio file (any type but Unknown):
// "tags", the seven texts (a failure adds "tagsError" with TagsUnreadable), and for a file that is
// not MPEG audio what the audio layer reads: "durationMs", "sampleRate", "channels",
// "bitrateKbps" (the lists' average bitrate, or for WMA the bitrate of its tags) and for WMA
// "vbr". ID3v1 texts are read in `legacyCodePage`. Appends the readable form to `text`.
// Returns false when the audio facts of a non-MPEG file could not be read; `item` then carries
// "error" (the message of the open failure) unless it already had one.
bool AddAudioInfo(nlohmann::json& item, std::string& text, const std::string& path,
                  audio::AudioType type, std::string_view legacyCodePage);

}  // namespace partita::cli
