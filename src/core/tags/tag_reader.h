#pragma once

#include <filesystem>
#include <string_view>

#include "app/settings_store.h"
#include "tags/tag_texts.h"

namespace partita {

// Reads the seven tag texts of any audio file (TagLib; never loads the audio module for
// MP3/MP2/MP1, WAV, Ogg, WMA or AIFF files, which are known by their extension):
// - WAV and Windows Media files through the non-MPEG tag access (tags/non_mpeg_tags.h);
// - every other file through the tags its format carries (MPEG: ID3v2, APE, then ID3v1 field by
//   field; Ogg: Vorbis comments; AIFF: its ID3v2 chunk). A genre "(17)" reads as its name.
// ID3v1 texts are decoded with the legacy code page `legacyCodePage` (setting "Legacy Code
// Page"). Fields no tag holds stay empty. False when the file cannot be opened as audio with
// tags; `out` is then empty. (The callers then show TagsUnreadable.)
bool ReadTags(const std::filesystem::path& path, std::string_view legacyCodePage, TagTexts& out);

// The same, with the code page read from the settings.
bool ReadTags(const std::filesystem::path& path, SettingsStore& settings, TagTexts& out);

}  // namespace partita
