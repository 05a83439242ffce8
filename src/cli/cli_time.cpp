#include "cli_time.h"

#include <vector>

#include "app/trim.h"

namespace partita::cli {
namespace {

constexpr std::uint64_t kMaxField = 1'000'000'000;  // far beyond any time, far below overflow

std::optional<std::uint64_t> Digits(std::string_view text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > kMaxField)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::uint64_t> ParseCommandLineTime(std::string_view text) {
    text = Trim(text, " ");
    std::vector<std::string_view> fields;
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ':') {
            fields.push_back(text.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    if (fields.empty() || fields.size() > 3)
        return std::nullopt;

    // The last field: whole seconds and an optional decimal fraction.
    std::string_view last = fields.back();
    std::string_view fraction;
    if (auto dot = last.find('.'); dot != std::string_view::npos) {
        fraction = last.substr(dot + 1);
        last = last.substr(0, dot);
    }
    if (fraction.empty() && last.empty())
        return std::nullopt;
    auto seconds = last.empty() ? std::optional<std::uint64_t>(0) : Digits(last);
    if (!seconds)
        return std::nullopt;
    std::uint64_t ms = 0;
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        char c = fraction[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        if (i < 3) {
            ms = ms * 10 + static_cast<std::uint64_t>(c - '0');
        } else if (i == 3 && c >= '5') {
            ++ms;  // rounds to the nearest millisecond
        }
    }
    for (std::size_t i = fraction.size(); i < 3; ++i)
        ms *= 10;

    std::uint64_t total = *seconds * 1000 + ms;
    if (fields.size() >= 2) {
        auto minutes = Digits(fields[fields.size() - 2]);
        if (!minutes || *seconds >= 60)
            return std::nullopt;
        total += *minutes * 60'000;
        if (fields.size() == 3) {
            auto hours = Digits(fields[0]);
            if (!hours || *minutes >= 60)
                return std::nullopt;
            total += *hours * 3'600'000;
        }
    }
    return total;
}

}  // namespace partita::cli
