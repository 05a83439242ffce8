#include "join/join_chapters.h"

#include <gtest/gtest.h>

namespace partita {
namespace {

struct Span {
    std::string title;
    std::uint64_t start, end;
    bool operator==(const Span&) const = default;
};

std::vector<Span> Spans(const std::vector<Chapter>& chapters) {
    std::vector<Span> spans;
    for (const Chapter& c : chapters)
        spans.push_back({c.title, c.startMs, c.endMs});
    return spans;
}

// A chapter starts at its input's sound, after the silences between it and the input before;
// titles fall back to the file's name without folder and extension.
TEST(JoinChapters, ThreeInputsWithSilences) {
    const std::vector<JoinChapterInput> inputs = {
        {"Intro", "intro.mp3", 10000.4, 0, 2000},
        {"", "/books/Part Two.final.mp3", 20000, 500, 0},
        {"End", "c.mp3", 5000.4, 0, 1000},
    };
    EXPECT_EQ(Spans(JoinChapters(inputs)),
              (std::vector<Span>{
                  {"Intro", 0, 12500}, {"Part Two.final", 12500, 32500}, {"End", 32500, 38501}}));
}

// Lengths of whole frames are not whole ms: a thousand 26.12 ms inputs end where their sum
// does, not 122 ms early; an input with nothing to play gets no chapter.
TEST(JoinChapters, NoRoundingDriftAndNoEmptyChapters) {
    std::vector<JoinChapterInput> inputs(1000, {"t", "f.mp3", 1152 * 1000.0 / 44100});
    EXPECT_EQ(JoinChapters(inputs).back().endMs, 26122u);

    inputs = {{"a", "a.mp3", 1000}, {"empty", "e.mp3", 0}, {"b", "b.mp3", 1000}};
    EXPECT_EQ(Spans(JoinChapters(inputs)), (std::vector<Span>{{"a", 0, 1000}, {"b", 1000, 2000}}));
}

}  // namespace
}  // namespace partita
