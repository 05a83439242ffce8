#include "join/join_chapters.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace partita {
namespace {

std::uint64_t WholeMs(double ms) {
    return ms > 0 ? static_cast<std::uint64_t>(std::llround(ms)) : 0;
}

}  // namespace

std::vector<Chapter> JoinChapters(std::span<const JoinChapterInput> inputs) {
    std::vector<Chapter> chapters;
    double at = 0;
    for (const JoinChapterInput& input : inputs) {
        at += std::max(input.silenceBeforeMs, 0.0);
        Chapter chapter;
        chapter.title = input.title.empty() ? std::filesystem::path(input.fileName).stem().string()
                                            : input.title;
        chapter.startMs = chapters.empty() ? 0 : WholeMs(at);
        at += std::max(input.durationMs, 0.0) + std::max(input.silenceAfterMs, 0.0);
        chapter.endMs = WholeMs(at);
        chapters.push_back(std::move(chapter));
    }
    // Each chapter runs to where the next one's audio starts.
    for (std::size_t i = 0; i + 1 < chapters.size(); ++i)
        chapters[i].endMs = chapters[i + 1].startMs;
    std::erase_if(chapters, [](const Chapter& c) { return c.endMs <= c.startMs; });
    if (!chapters.empty())
        chapters.front().startMs = 0;
    return chapters;
}

}  // namespace partita
