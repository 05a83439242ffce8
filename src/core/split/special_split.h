#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/user_message.h"

namespace partita {

// Special split: split points at equal parts or at a fixed interval.
inline constexpr int kMaxSpecialParts = 999;
// The length the dialog takes for a group, whose sources differ: 100 hours.
inline constexpr std::uint64_t kGroupScopeLengthMs = 360'000'000;

enum class SpecialSplitType { EqualParts = 0, FixedTime = 1 };
// Whole source (or every source of a group), or inside the selected track.
enum class SpecialSplitScope { Whole = 0, SelectedTrack = 1 };

// The points that divide [start, end) into `count` parts of (end − start) / count ms, the
// remainder staying in the last part; none for a count of 1 or less. Points that would repeat
// one another (a range shorter than the count in ms) are given once.
std::vector<std::uint64_t> EqualPartPoints(int count, std::uint64_t start, std::uint64_t end);

// The points start + step, start + 2·step, … before `end`; none for a step of 0.
std::vector<std::uint64_t> FixedLengthPoints(std::uint64_t step, std::uint64_t start,
                                             std::uint64_t end);

struct SpecialSplitRequest {
    SpecialSplitType type = SpecialSplitType::EqualParts;
    int count = 2;             // parts, for EqualParts
    std::uint64_t stepMs = 0;  // part length, for FixedTime
    SpecialSplitScope scope = SpecialSplitScope::Whole;
    std::uint64_t scopeLengthMs = 0;  // the source, the group (kGroupScopeLengthMs) or the track
};

// Why a request is refused: the message and the field to correct.
struct SpecialSplitRefusal {
    enum class Field { Count, Time };
    UserMessage message;
    Field field = Field::Count;
};

// Checks a request as the dialog does before applying it: a count of 1 to 999
// (InvalidPartCount); a part length above 0 (InvalidPartLength), that makes at most 999 parts of
// the scope (TooManyParts) and is not longer than the track (PartLongerThanTrack) or the source
// (PartLongerThanSource) it divides. A length equal to the scope passes.
std::optional<SpecialSplitRefusal> ValidateSpecialSplit(const SpecialSplitRequest& request);

// The points a valid request inserts over [start, end).
std::vector<std::uint64_t> SpecialSplitPoints(const SpecialSplitRequest& request,
                                              std::uint64_t start, std::uint64_t end);

}  // namespace partita
