#pragma once

#include <span>
#include <string>
#include <vector>

#include "tags/chapter.h"

namespace partita {

// What a join writes of one input, for its chapter. Lengths are in ms as the output holds them
// (a frame of 1152 samples at 44100 Hz is 26.12 ms, so they are real numbers: whole ms would
// add up their rounding over many inputs).
struct JoinChapterInput {
    std::string title;     // the input's title tag; empty when it has none
    std::string fileName;  // the input's file name or path
    double durationMs = 0;
    double silenceBeforeMs = 0;  // silence written before the input's audio
    double silenceAfterMs = 0;   // silence written after it
};

// The chapters a join writes, one per input in order: titled with the input's title tag, else
// its file name without folder and extension. A chapter starts where its input's audio starts
// (after any silence before it; the first at 0) and ends where the next one starts, the last at
// the end of the output, so the silences after an input and before the next belong to the
// input's chapter and a jump to a chapter lands on its sound. Times are rounded to whole ms; an
// input that would get an empty chapter (no audio and no silence after it) gets none.
std::vector<Chapter> JoinChapters(std::span<const JoinChapterInput> inputs);

}  // namespace partita
