#pragma once

#include <map>
#include <string>
#include <utility>

#include "app/settings_store.h"

namespace partita {

// Settings held in memory: the store of tests, and the overlay of "--set" overrides.
// Values are kept as text; an integer read parses the text.
class MemorySettingsStore : public SettingsStore {
  public:
    int ReadInt(std::string_view section, std::string_view name, int defaultValue) override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue = {}) override;
    bool WriteInt(std::string_view section, std::string_view name, int value) override;
    bool WriteString(std::string_view section, std::string_view name,
                     std::optional<std::string_view> value) override;
    bool Contains(std::string_view section, std::string_view name) override;

    const std::map<std::pair<std::string, std::string>, std::string>& Values() const {
        return values_;
    }

  private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

// Reads an integer stored as text the way the stores do: optional sign and decimal digits,
// nothing else. Returns nullopt for any other text.
std::optional<int> ParseStoredInt(std::string_view text);

}  // namespace partita
