#include "split/chapter_tracks.h"

#include <algorithm>

namespace partita {

ChapterTracks TracksFromChapters(const ChapterList& chapters, std::uint64_t durationMs) {
    ChapterTracks out;
    out.skipped = chapters.skipped;
    std::uint64_t at = 0;  // where the tracks made so far end
    auto fillTo = [&](std::uint64_t start) {
        if (start <= at)
            return;
        if (start - at < kShortestChapterGapMs) {
            if (out.tracks.empty()) {
                at = 0;  // the first chapter starts at 0
            } else {
                out.tracks.back().endMs = start;
                at = start;
            }
            return;
        }
        out.tracks.push_back({at, start, {}, {}, false});
        at = start;
    };
    for (const Chapter& chapter : chapters.chapters) {
        // CheckChapters leaves chapters in order, inside the audio and apart.
        const std::uint64_t end = std::min(chapter.endMs, durationMs);
        if (chapter.startMs < at || end <= chapter.startMs)
            continue;
        fillTo(chapter.startMs);
        out.tracks.push_back({at, end, chapter.title, chapter.artist, true});
        at = end;
    }
    if (!out.tracks.empty())
        fillTo(durationMs);
    return out;
}

}  // namespace partita
