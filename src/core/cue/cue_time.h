#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace partita {

// CUE INDEX times are MM:SS:FF: total minutes, seconds and CD frames of 1/75 s, as every ripper,
// player and burner writes them.
inline constexpr int kCueFramesPerSecond = 75;

// Milliseconds of an INDEX time; 0 for a text that is not MM:SS:FF with seconds 0-59 and frames
// 0-74. A frame is taken at its first whole millisecond (frame 50 is 667 ms), so that writing
// the result gives back the same frame.
std::uint64_t CueTimeToMs(std::string_view text);

// The millisecond an INDEX time of `frames` CD frames reads back as (see CueTimeToMs).
std::uint64_t CueFramesToMs(std::uint64_t frames);

// Whether a text is an INDEX time that CueTimeToMs reads (not one that only reads as 0).
bool IsCueTime(std::string_view text);

// The INDEX time of a millisecond position; the part of a frame is dropped (3 723 456 ms is
// 62:03:34).
std::string MsToCueTime(std::uint64_t ms);

}  // namespace partita
