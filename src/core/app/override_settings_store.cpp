#include "app/override_settings_store.h"

namespace partita {

bool OverrideSettingsStore::AddOverride(std::string_view assignment) {
    auto slash = assignment.find('/');
    auto equals = assignment.find('=');
    if (slash == std::string_view::npos || equals == std::string_view::npos || equals < slash ||
        slash == 0 || equals == slash + 1) {
        return false;
    }
    SetOverride(assignment.substr(0, slash), assignment.substr(slash + 1, equals - slash - 1),
                assignment.substr(equals + 1));
    return true;
}

void OverrideSettingsStore::SetOverride(std::string_view section, std::string_view name,
                                        std::string_view value) {
    overrides_.WriteString(section, name, value);
}

int OverrideSettingsStore::ReadInt(std::string_view section, std::string_view name,
                                   int defaultValue) {
    if (overrides_.Contains(section, name))
        return overrides_.ReadInt(section, name, defaultValue);
    return base_.ReadInt(section, name, defaultValue);
}

std::string OverrideSettingsStore::ReadString(std::string_view section, std::string_view name,
                                              std::string_view defaultValue) {
    if (overrides_.Contains(section, name))
        return overrides_.ReadString(section, name);
    return base_.ReadString(section, name, defaultValue);
}

bool OverrideSettingsStore::WriteInt(std::string_view section, std::string_view name, int value) {
    if (overrides_.Contains(section, name))
        return overrides_.WriteInt(section, name, value);
    return base_.WriteInt(section, name, value);
}

bool OverrideSettingsStore::WriteString(std::string_view section, std::string_view name,
                                        std::optional<std::string_view> value) {
    if (overrides_.Contains(section, name)) {
        // Deleting an overridden value deletes the override: the run then sees the base again.
        return overrides_.WriteString(section, name, value);
    }
    return base_.WriteString(section, name, value);
}

bool OverrideSettingsStore::Contains(std::string_view section, std::string_view name) {
    return overrides_.Contains(section, name) || base_.Contains(section, name);
}

}  // namespace partita
