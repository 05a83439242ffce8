#pragma once

#include <string_view>

namespace partita {

// White space as the C locale knows it: spaces, tabs, line ends, vertical tabs and form feeds.
inline constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
// What may surround a value within one line of a sheet.
inline constexpr std::string_view kSpacesAndTabs = " \t";

// `text` without the characters of `blanks` at either end. The result points into `text`.
constexpr std::string_view Trim(std::string_view text, std::string_view blanks = kWhiteSpace) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace partita
