#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace partita {

// The profile interface every feature reads and writes its options through. Values live in
// sections; a missing value reads as the default given at the call. Readers never cache: each
// feature reads when it needs a value and writes when it changes, so every part of the program
// sees the same stored value.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    virtual int ReadInt(std::string_view section, std::string_view name, int defaultValue) = 0;
    virtual std::string ReadString(std::string_view section, std::string_view name,
                                   std::string_view defaultValue = {}) = 0;
    virtual bool WriteInt(std::string_view section, std::string_view name, int value) = 0;
    // A null value (std::nullopt) deletes the stored value.
    virtual bool WriteString(std::string_view section, std::string_view name,
                             std::optional<std::string_view> value) = 0;
    virtual bool Contains(std::string_view section, std::string_view name) = 0;
};

}  // namespace partita
