#include "cue/cue_time.h"

#include <cstdio>
#include <optional>

namespace partita {
namespace {

// A field of one or more decimal digits, nothing else (blanks around it allowed).
std::optional<std::uint64_t> ReadDigits(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t'))
        field.remove_suffix(1);
    if (field.empty() || field.size() > 9)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

}  // namespace

namespace {

std::optional<std::uint64_t> ReadCueTime(std::string_view text) {
    auto first = text.find(':');
    if (first == std::string_view::npos)
        return std::nullopt;
    auto second = text.find(':', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    auto minutes = ReadDigits(text.substr(0, first));
    auto seconds = ReadDigits(text.substr(first + 1, second - first - 1));
    auto frames = ReadDigits(text.substr(second + 1));
    if (!minutes || !seconds || !frames || *seconds > 59 || *frames >= kCueFramesPerSecond)
        return std::nullopt;
    std::uint64_t frameMs = (*frames * 1000 + kCueFramesPerSecond - 1) / kCueFramesPerSecond;
    return (*minutes * 60 + *seconds) * 1000 + frameMs;
}

}  // namespace

std::uint64_t CueTimeToMs(std::string_view text) {
    return ReadCueTime(text).value_or(0);
}

std::uint64_t CueFramesToMs(std::uint64_t frames) {
    const std::uint64_t part = frames % kCueFramesPerSecond;
    return frames / kCueFramesPerSecond * 1000 +
           (part * 1000 + kCueFramesPerSecond - 1) / kCueFramesPerSecond;
}

bool IsCueTime(std::string_view text) {
    return ReadCueTime(text).has_value();
}

std::string MsToCueTime(std::uint64_t ms) {
    std::uint64_t minutes = ms / 60000;
    std::uint64_t seconds = ms % 60000 / 1000;
    std::uint64_t frames = ms % 1000 * kCueFramesPerSecond / 1000;
    char text[48];
    std::snprintf(
        text, sizeof text, "%02llu:%02llu:%02llu", static_cast<unsigned long long>(minutes),
        static_cast<unsigned long long>(seconds), static_cast<unsigned long long>(frames));
    return text;
}

}  // namespace partita
