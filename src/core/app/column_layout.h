#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/setting_values.h"

namespace partita {

// One column of a list view: its header text and its width in pixels.
struct ColumnEntry {
    std::string name;
    int width = 0;
    bool operator==(const ColumnEntry&) const = default;
};
using ColumnLayout = std::vector<ColumnEntry>;

// Reads a column list: "name, width" entries joined by ";". Blanks around names and widths are
// dropped (the built-in lists hold "向后交迭,80; 向前交迭,80"), and so are empty entries; a name
// ends at the entry's last comma. Nullopt when an entry has no comma or no width of digits.
std::optional<ColumnLayout> ParseColumnLayout(std::string_view text);

// Writes entries as "name, width" joined by ";", with no trailing separator.
std::string FormatColumnLayout(const ColumnLayout& columns);

// The stored layout of a list ("Splitter Column List" or "Joiner Column List"): the stored text
// when it reads as many columns as the list's default, else the default of the current
// language.
ColumnLayout ReadColumnLayout(SettingsStore& store, const StringSetting& setting);
bool WriteColumnLayout(SettingsStore& store, const StringSetting& setting,
                       const ColumnLayout& columns);

}  // namespace partita
