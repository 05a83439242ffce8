#include "app/column_layout.h"

#include <charconv>

#include "app/trim.h"

namespace partita {

std::optional<ColumnLayout> ParseColumnLayout(std::string_view text) {
    ColumnLayout columns;
    while (!text.empty()) {
        const auto end = text.find(';');
        std::string_view entry = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (entry.empty())
            continue;
        const auto comma = entry.rfind(',');
        if (comma == std::string_view::npos)
            return std::nullopt;
        const std::string_view width = Trim(entry.substr(comma + 1));
        ColumnEntry column{std::string(Trim(entry.substr(0, comma))), 0};
        auto [at, ec] = std::from_chars(width.data(), width.data() + width.size(), column.width);
        if (width.empty() || ec != std::errc() || at != width.data() + width.size() ||
            column.width < 0)
            return std::nullopt;
        columns.push_back(std::move(column));
    }
    return columns;
}

std::string FormatColumnLayout(const ColumnLayout& columns) {
    std::string text;
    for (const ColumnEntry& column : columns) {
        if (!text.empty())
            text += ';';
        text += column.name + ", " + std::to_string(column.width);
    }
    return text;
}

ColumnLayout ReadColumnLayout(SettingsStore& store, const StringSetting& setting) {
    ColumnLayout fallback = ParseColumnLayout(setting.Default()).value_or(ColumnLayout{});
    std::optional<ColumnLayout> stored = ParseColumnLayout(setting.Read(store));
    if (stored && stored->size() == fallback.size())
        return *stored;
    return fallback;
}

bool WriteColumnLayout(SettingsStore& store, const StringSetting& setting,
                       const ColumnLayout& columns) {
    return setting.Write(store, FormatColumnLayout(columns));
}

}  // namespace partita
