#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

namespace partita::cli {

// What the info report adds for an MPEG audio file with a known length: "chapters", the chapter
// marks of its ID3v2 tag in playing order ({id, title, artist, startMs, endMs}), and
// "skippedChapters", the ones left out ({id, title, startMs, endMs, reason, message}). Appends
// the readable form to `text`. Nothing is added when the file cannot be read.
void AddChapterInfo(nlohmann::json& item, std::string& text, const std::string& path,
                    std::uint64_t durationMs);

}  // namespace partita::cli
