#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace partita {

// A numbered text form of a time. The split list and overlaps use style 6, the merge list and
// merge list files the default form (hours, minutes, seconds), CUE INDEX times style 8.
using TimeStyle = int;

inline constexpr TimeStyle kTimeMinSecMs = 1;         // M:SS.fff
inline constexpr TimeStyle kTimeHourMinSec = 2;       // H:MM:SS
inline constexpr TimeStyle kTimeHourMinSecTenth = 3;  // H:MM:SS.t
inline constexpr TimeStyle kTimeMinSecTenth = 4;      // M:SS.t
inline constexpr TimeStyle kTimeMinSec = 5;           // M:SS
inline constexpr TimeStyle kTimeList = 6;             // H:MM:SS.fff, or M:SS.fff under an hour
inline constexpr TimeStyle kTimeCueIndex = 8;         // MM:SS:FF
inline constexpr TimeStyle kTimeMinSecColonMs = 9;    // M:S:fff (parse only)

// Formats milliseconds in a style; any style not listed formats as H:MM:SS.
std::string FormatTime(std::uint64_t ms, TimeStyle style);

// Parses a time text in a style; 0 stands both for a zero time and for an invalid text.
// The millisecond field is an integer, not a decimal fraction: "1:02.5" in style 6 is 62 005.
std::uint64_t ParseTime(std::string_view text, TimeStyle style);

}  // namespace partita
