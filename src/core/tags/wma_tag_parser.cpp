#include "tags/wma_tag_parser.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "app/trim.h"

namespace partita {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// The leading integer of a text, as atoi reads it (sign, digits; 0 when there are none).
long long LeadingInteger(std::string_view text) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        if (value < 1'000'000'000'000'000LL)
            value = value * 10 + (text[at] - '0');
    }
    return negative ? -value : value;
}

}  // namespace

void ParseWmaTags(std::string_view list, TagTexts& texts, int& bitrateKbps, bool& vbr) {
    texts = {};
    const std::array<std::pair<std::string_view, std::string TagTexts::*>, 7> fields{{
        {"TITLE", &TagTexts::title},
        {"AUTHOR", &TagTexts::artist},
        {"WM/ALBUMTITLE", &TagTexts::album},
        {"WM/YEAR", &TagTexts::year},
        {"DESCRIPTION", &TagTexts::comment},
        {"WM/TRACKNUMBER", &TagTexts::track},
        {"WM/GENRE", &TagTexts::genre},
    }};
    while (!list.empty()) {
        std::size_t end = list.find('\0');
        std::string_view entry = list.substr(0, end);
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
        std::size_t equals = entry.find('=');
        if (entry.empty() || equals == std::string_view::npos)
            break;  // the empty string ends the list; a string without "=" ends parsing
        std::string_view name = Trim(entry.substr(0, equals));
        std::string_view value = Trim(entry.substr(equals + 1));
        if (SameName(name, "ISVBR")) {
            vbr = value != "0";
        } else if (SameName(name, "BITRATE")) {
            bitrateKbps = static_cast<int>(
                std::clamp<long long>(LeadingInteger(value) / 1000, INT32_MIN, INT32_MAX));
        } else {
            for (const auto& [field, member] : fields) {
                if (SameName(name, field)) {
                    texts.*member = std::string(value);
                    break;
                }
            }
        }
    }
}

}  // namespace partita
