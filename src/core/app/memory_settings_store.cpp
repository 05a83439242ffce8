#include "app/memory_settings_store.h"

#include <charconv>

namespace partita {

std::optional<int> ParseStoredInt(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

int MemorySettingsStore::ReadInt(std::string_view section, std::string_view name,
                                 int defaultValue) {
    auto it = values_.find({std::string(section), std::string(name)});
    if (it == values_.end())
        return defaultValue;
    return ParseStoredInt(it->second).value_or(defaultValue);
}

std::string MemorySettingsStore::ReadString(std::string_view section, std::string_view name,
                                            std::string_view defaultValue) {
    auto it = values_.find({std::string(section), std::string(name)});
    return it == values_.end() ? std::string(defaultValue) : it->second;
}

bool MemorySettingsStore::WriteInt(std::string_view section, std::string_view name, int value) {
    values_[{std::string(section), std::string(name)}] = std::to_string(value);
    return true;
}

bool MemorySettingsStore::WriteString(std::string_view section, std::string_view name,
                                      std::optional<std::string_view> value) {
    std::pair<std::string, std::string> key{std::string(section), std::string(name)};
    if (!value) {
        values_.erase(key);
    } else {
        values_[key] = std::string(*value);
    }
    return true;
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view name) {
    return values_.count({std::string(section), std::string(name)}) != 0;
}

}  // namespace partita
