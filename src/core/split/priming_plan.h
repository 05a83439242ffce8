#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace partita {

// The playing time of a Layer III stream as a gapless decoder sees it, in samples per channel.
// A decoder makes samplesPerFrame samples of every frame; with a LAME tag it leaves out the
// first `leadIn` of them (the tag's delay + 529) and those after `samples`.
struct SampleTimeline {
    int samplesPerFrame = 1152;
    std::uint64_t frames = 0;
    std::uint64_t leadIn = 0;
    std::uint64_t samples = 0;
};

// The timeline of `frames` frames, with the LAME tag's delay and padding when there is one.
SampleTimeline MakeSampleTimeline(int samplesPerFrame, std::uint64_t frames,
                                  std::optional<int> delay, std::optional<int> padding);

// The sample a time in ms falls on (rounded to the nearest).
std::uint64_t SampleAtMs(std::uint64_t ms, int sampleRate);

// A piece that a gapless decoder plays as exactly the samples [begin, end) of its source:
//   [silent frames] [source frames firstFrame .. endFrame - 1]
// with a LAME tag that skips `delay` + 529 samples and ends `padding` - 529 samples before the
// last frame's end.
struct PrimedPiece {
    std::uint64_t firstFrame = 0;
    std::uint64_t endFrame = 0;
    int silentFrames = 0;
    bool carriesReservoir = false;  // the last silent frame holds firstFrame's reservoir
    int delay = 0;
    int padding = 0;

    std::uint64_t Frames() const {
        return static_cast<std::uint64_t>(silentFrames) + endFrame - firstFrame;
    }
};

// Plans the piece [begin, end) of a source (end is clamped to its samples). `borrows(frame)`
// says whether a source frame's main data begins before it (in an earlier frame). nullopt for
// an empty piece, or where the tag's 12-bit fields cannot say the piece's delay or padding.
std::optional<PrimedPiece> PlanPrimedPiece(const SampleTimeline& timeline, std::uint64_t begin,
                                           std::uint64_t end,
                                           const std::function<bool(std::uint64_t frame)>& borrows);

}  // namespace partita
