#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/chapter.h"

namespace partita {

// One track made from a source's chapters.
struct ChapterTrack {
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;
    std::string title;   // the chapter's title; empty when it has none (the source's is kept)
    std::string artist;  // likewise
    // A chapter's track is checked; a stretch outside every chapter is an unchecked, untitled
    // track, as a sheet's pregap is.
    bool chapter = true;

    bool operator==(const ChapterTrack&) const = default;
};

struct ChapterTracks {
    std::vector<ChapterTrack> tracks;
    std::vector<SkippedChapter> skipped;  // the chapters left out, with their reasons
};

// Gaps between chapters shorter than this belong to the chapter before them (to the first
// chapter when they lead the audio): they are the rounding of the writer's times, and a track of
// them would hold a frame or two of audio at most.
inline constexpr std::uint64_t kShortestChapterGapMs = 50;

// The tracks of a source of `durationMs` from its checked chapters (CheckChapters): one track
// per chapter with its times, title and artist, and the audio outside every chapter as
// unchecked tracks, so the tracks cover [0, durationMs) one after another as a split list's
// tracks do. The chapters' reports are passed on. No chapters give no tracks.
ChapterTracks TracksFromChapters(const ChapterList& chapters, std::uint64_t durationMs);

}  // namespace partita
