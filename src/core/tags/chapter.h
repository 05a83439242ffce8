#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace partita {

// A CHAP time of 0xFFFFFFFF: no time given.
inline constexpr std::uint64_t kChapterTimeUnset = 0xFFFFFFFF;

// One chapter mark of an ID3v2 tag (a CHAP frame). Times are milliseconds from the start of
// the audio, as the frame holds them.
struct Chapter {
    std::string id;      // the frame's element id
    std::string title;   // its TIT2 sub-frame; empty when it has none
    std::string artist;  // its TPE1 sub-frame; empty when it has none
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;

    bool operator==(const Chapter&) const = default;
};

// Why a chapter was left out of a list.
enum class ChapterProblem {
    EndNotAfterStart,  // it ends before it starts, or has no length
    OverlapsPrevious,  // it starts before the chapter before it ends
    PastEndOfAudio,    // it starts at or after the end of the audio, or ends well past it
    NotFound,          // the table of contents lists an element id no CHAP frame has
    NotInTable,        // the tag has a table of contents that does not list it
};

struct SkippedChapter {
    Chapter chapter;  // as the tag holds it (only the id for NotFound)
    ChapterProblem problem;
};

// The chapters of a source in playing order and the ones left out with their reasons. Once
// checked (CheckChapters), each chapter ends no later than the next one starts.
struct ChapterList {
    std::vector<Chapter> chapters;
    std::vector<SkippedChapter> skipped;
};

}  // namespace partita
