#pragma once

#include <string>
#include <string_view>

#include "app/memory_settings_store.h"

namespace partita {

// A store that answers from a set of overrides first and from its base store otherwise.
// Overrides last for one run: a write to an overridden value changes the override, never the
// base, so "--set" never alters what is stored.
class OverrideSettingsStore : public SettingsStore {
  public:
    explicit OverrideSettingsStore(SettingsStore& base) : base_(base) {}

    // Takes "SECTION/NAME=VALUE". The section is the text before the first "/" (section names
    // hold no "/"); returns false for a text of another form.
    bool AddOverride(std::string_view assignment);
    void SetOverride(std::string_view section, std::string_view name, std::string_view value);

    int ReadInt(std::string_view section, std::string_view name, int defaultValue) override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue = {}) override;
    bool WriteInt(std::string_view section, std::string_view name, int value) override;
    bool WriteString(std::string_view section, std::string_view name,
                     std::optional<std::string_view> value) override;
    bool Contains(std::string_view section, std::string_view name) override;

  private:
    SettingsStore& base_;
    MemorySettingsStore overrides_;
};

}  // namespace partita
