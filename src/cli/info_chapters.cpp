#include "info_chapters.h"

#include <utility>

#include "app/time_text.h"
#include "tags/chapter_reader.h"

namespace partita::cli {
namespace {

// The reason's key in the JSON report and its words in the text.
std::pair<const char*, const char*> ProblemTexts(ChapterProblem problem) {
    switch (problem) {
        case ChapterProblem::EndNotAfterStart:
            return {"endNotAfterStart", "it does not end after it starts"};
        case ChapterProblem::OverlapsPrevious:
            return {"overlapsPrevious", "it starts before the chapter before it ends"};
        case ChapterProblem::PastEndOfAudio:
            return {"pastEndOfAudio", "it lies past the end of the audio"};
        case ChapterProblem::NotFound:
            return {"notFound", "the table of contents lists it, but the tag has no such chapter"};
        case ChapterProblem::NotInTable:
            return {"notInTable", "the table of contents does not list it"};
    }
    return {"", ""};
}

std::string Span(const Chapter& chapter) {
    return FormatTime(chapter.startMs, kTimeList) + " - " + FormatTime(chapter.endMs, kTimeList);
}

}  // namespace

void AddChapterInfo(nlohmann::json& item, std::string& text, const std::string& path,
                    std::uint64_t durationMs) {
    std::optional<ChapterList> list = ReadChapters(path, durationMs);
    if (!list)
        return;
    nlohmann::json chapters = nlohmann::json::array();
    if (!list->chapters.empty())
        text += "  chapters:\n";
    for (const Chapter& c : list->chapters) {
        chapters.push_back({{"id", c.id},
                            {"title", c.title},
                            {"artist", c.artist},
                            {"startMs", c.startMs},
                            {"endMs", c.endMs}});
        text += "    " + Span(c) + "  \"" + c.title + "\"" +
                (c.artist.empty() ? "" : " by \"" + c.artist + "\"") + " (" + c.id + ")\n";
    }
    nlohmann::json skipped = nlohmann::json::array();
    for (const SkippedChapter& s : list->skipped) {
        const Chapter& c = s.chapter;
        const auto [reason, words] = ProblemTexts(s.problem);
        const std::string where =
            s.problem == ChapterProblem::NotFound ? std::string() : ", " + Span(c);
        const std::string message = "chapter \"" + (c.title.empty() ? c.id : c.title) + "\" (" +
                                    c.id + where + ") left out: " + words;
        skipped.push_back({{"id", c.id},
                           {"title", c.title},
                           {"startMs", c.startMs},
                           {"endMs", c.endMs},
                           {"reason", reason},
                           {"message", message}});
        text += "  " + message + "\n";
    }
    item["chapters"] = std::move(chapters);
    item["skippedChapters"] = std::move(skipped);
}

}  // namespace partita::cli
