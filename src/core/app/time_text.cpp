#include "app/time_text.h"

#include <cctype>
#include <limits>
#include <optional>

namespace partita {
namespace {

std::string Pad2(std::uint64_t v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string Pad3(std::uint64_t v) {
    std::string s = std::to_string(v);
    while (s.size() < 3)
        s.insert(s.begin(), '0');
    return s;
}

// The field reader of the time parser: leading white space, an optional sign and the leading
// digits of the field; an empty field or one without digits reads as 0. Large values saturate
// instead of wrapping.
std::int64_t ReadField(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && std::isspace(static_cast<unsigned char>(field[i])))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = 100'000'000'000'000;  // far beyond any time, far below overflow
    std::int64_t value = 0;
    for (; i < field.size() && std::isdigit(static_cast<unsigned char>(field[i])); ++i) {
        if (value < kLimit)
            value = value * 10 + (field[i] - '0');
    }
    return negative ? -value : value;
}

// Splits `text` at the first `sep` at or after the start; nullopt when it is missing.
std::optional<std::pair<std::string_view, std::string_view>> SplitAt(std::string_view text,
                                                                     char sep) {
    auto pos = text.find(sep);
    if (pos == std::string_view::npos)
        return std::nullopt;
    return std::pair{text.substr(0, pos), text.substr(pos + 1)};
}

// Combines fields into milliseconds; negative or overflowing results are invalid (0).
std::uint64_t Combine(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                      std::int64_t ms) {
    constexpr std::int64_t kMaxHours = std::numeric_limits<std::int64_t>::max() / 3'600'000 / 4;
    if (hours > kMaxHours || minutes > kMaxHours * 60 || hours < -kMaxHours ||
        minutes < -kMaxHours * 60) {
        return 0;
    }
    std::int64_t total = ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
    return total < 0 ? 0 : static_cast<std::uint64_t>(total);
}

}  // namespace

std::string FormatTime(std::uint64_t v, TimeStyle style) {
    const std::uint64_t h = v / 3'600'000;
    const std::uint64_t m = (v % 3'600'000) / 60'000;
    const std::uint64_t s = (v % 60'000) / 1000;
    const std::uint64_t f = v % 1000;
    const std::uint64_t totalMinutes = 60 * h + m;
    switch (style) {
        case kTimeMinSecMs:
            return std::to_string(totalMinutes) + ":" + Pad2(s) + "." + Pad3(f);
        case kTimeHourMinSecTenth:
            return std::to_string(h) + ":" + Pad2(m) + ":" + Pad2(s) + "." +
                   std::to_string(f / 100);
        case kTimeMinSecTenth:
            return std::to_string(totalMinutes) + ":" + Pad2(s) + "." + std::to_string(f / 100);
        case kTimeMinSec:
            return std::to_string(totalMinutes) + ":" + Pad2(s);
        case kTimeList:
            if (h > 0)
                return std::to_string(h) + ":" + Pad2(m) + ":" + Pad2(s) + "." + Pad3(f);
            return std::to_string(m) + ":" + Pad2(s) + "." + Pad3(f);
        case kTimeCueIndex:
            return Pad2(totalMinutes) + ":" + Pad2(s) + ":" + Pad2(f / 10);
        default:
            return std::to_string(h) + ":" + Pad2(m) + ":" + Pad2(s);
    }
}

std::uint64_t ParseTime(std::string_view text, TimeStyle style) {
    switch (style) {
        case kTimeMinSecMs: {  // M:S.F
            auto a = SplitAt(text, ':');
            if (!a)
                return 0;
            auto b = SplitAt(a->second, '.');
            if (!b)
                return 0;
            auto m = ReadField(a->first), s = ReadField(b->first), f = ReadField(b->second);
            if (s > 59 || f < 0 || f > 999)
                return 0;
            return Combine(0, m, s, f);
        }
        case kTimeHourMinSec: {  // H:M:S
            auto a = SplitAt(text, ':');
            if (!a)
                return 0;
            auto b = SplitAt(a->second, ':');
            if (!b)
                return 0;
            auto h = ReadField(a->first), m = ReadField(b->first), s = ReadField(b->second);
            if (m > 59 || s > 59)
                return 0;
            return Combine(h, m, s, 0);
        }
        case kTimeMinSec: {  // M:S
            auto a = SplitAt(text, ':');
            if (!a)
                return 0;
            auto m = ReadField(a->first), s = ReadField(a->second);
            if (s < 0 || s > 59)
                return 0;
            return Combine(0, m, s, 0);
        }
        case kTimeList: {  // H:M:S.F, or M:S.F when the text has one colon only
            auto a = SplitAt(text, ':');
            if (!a)
                return 0;
            std::int64_t h = 0;
            std::string_view rest = text;
            if (a->second.find(':') != std::string_view::npos) {
                h = ReadField(a->first);
                rest = a->second;
            }
            auto b = SplitAt(rest, ':');
            if (!b)
                return 0;
            auto c = SplitAt(b->second, '.');
            if (!c)
                return 0;
            auto m = ReadField(b->first), s = ReadField(c->first), f = ReadField(c->second);
            if (m > 59 || s > 59 || f < 0 || f > 999)
                return 0;
            return Combine(h, m, s, f);
        }
        case kTimeCueIndex:         // M:S:C, hundredths after the second colon
        case kTimeMinSecColonMs: {  // M:S:F, milliseconds after the second colon
            auto a = SplitAt(text, ':');
            if (!a)
                return 0;
            auto b = SplitAt(a->second, ':');
            if (!b)
                return 0;
            auto m = ReadField(a->first), s = ReadField(b->first), c = ReadField(b->second);
            std::int64_t f = style == kTimeCueIndex ? c * 10 : c;
            if (s > 59 || f < 0 || f > 999)
                return 0;
            return Combine(0, m, s, f);
        }
        default:
            return 0;
    }
}

}  // namespace partita
