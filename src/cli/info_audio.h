#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "app/settings_store.h"

namespace partita::cli {

// What `partita info` reports of a file beyond its MPEG analysis: "tags" (the seven texts,
// read for every file; a failure adds "tagsError" with string 316) and, for a file that is not
// MPEG audio, what the audio layer reads: "audioType" (the shared audio type number),
// "durationMs", "sampleRate", "channels", "bitrateKbps" (the lists' average bitrate, or for WMA
// the bitrate of its tags) and for WMA "vbr". An MPEG file (known by its extension) never loads
// the audio module. Appends the readable form of the same facts to `text`. Returns false when
// the audio facts of a non-MPEG file could not be read; `item` then carries "error" (the
// message of the open failure) unless it already had one.
bool AddAudioInfo(nlohmann::json& item, std::string& text, const std::string& path,
                  SettingsStore& settings);

}  // namespace partita::cli
