#include "split/special_split.h"

#include "app/time_text.h"
#include "app/user_message.h"

namespace partita {

std::vector<std::uint64_t> EqualPartPoints(int count, std::uint64_t start, std::uint64_t end) {
    std::vector<std::uint64_t> points;
    if (count <= 1 || end <= start)
        return points;
    std::uint64_t length = (end - start) / static_cast<std::uint64_t>(count);
    if (length == 0)
        return points;
    for (int i = 1; i < count; ++i)
        points.push_back(start + static_cast<std::uint64_t>(i) * length);
    return points;
}

std::vector<std::uint64_t> FixedLengthPoints(std::uint64_t step, std::uint64_t start,
                                             std::uint64_t end) {
    std::vector<std::uint64_t> points;
    if (step == 0)
        return points;
    for (std::uint64_t t = start + step; t < end; t += step)
        points.push_back(t);
    return points;
}

std::optional<SpecialSplitRefusal> ValidateSpecialSplit(const SpecialSplitRequest& request) {
    using Field = SpecialSplitRefusal::Field;
    if (request.type == SpecialSplitType::EqualParts) {
        if (request.count < 1 || request.count > kMaxSpecialParts)
            return SpecialSplitRefusal{{Msg::InvalidPartCount, kMaxSpecialParts}, Field::Count};
        return std::nullopt;
    }
    const std::string time = FormatTime(request.stepMs, kTimeList);
    if (request.stepMs == 0)
        return SpecialSplitRefusal{{Msg::InvalidPartLength, time}, Field::Time};
    if (request.stepMs * kMaxSpecialParts < request.scopeLengthMs)
        return SpecialSplitRefusal{{Msg::TooManyParts, time, kMaxSpecialParts}, Field::Time};
    if (request.stepMs > request.scopeLengthMs) {
        const std::string length = FormatTime(request.scopeLengthMs, kTimeList);
        Msg id = request.scope == SpecialSplitScope::SelectedTrack ? Msg::PartLongerThanTrack
                                                                   : Msg::PartLongerThanSource;
        return SpecialSplitRefusal{{id, time, length}, Field::Time};
    }
    return std::nullopt;
}

std::vector<std::uint64_t> SpecialSplitPoints(const SpecialSplitRequest& request,
                                              std::uint64_t start, std::uint64_t end) {
    if (request.type == SpecialSplitType::EqualParts)
        return EqualPartPoints(request.count, start, end);
    return FixedLengthPoints(request.stepMs, start, end);
}

}  // namespace partita
