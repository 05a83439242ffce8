#pragma once

#include <QSettings>
#include <memory>
#include <string>

#include "app/settings_store.h"

namespace partita {

// The settings store on QSettings: sections are groups and value names are the table's names,
// so on Windows the values land under the registry key
// HKEY_CURRENT_USER/Software/LodestarWorks/<program>/<section>. Elsewhere Qt keeps them in its
// per-user configuration file.
class QtSettingsStore : public SettingsStore {
  public:
    // The per-user store of organisation "LodestarWorks" and the given application name.
    explicit QtSettingsStore(const QString& applicationName);
    // An INI file used instead of the per-user store.
    static std::unique_ptr<QtSettingsStore> FromIniFile(const QString& path);

    int ReadInt(std::string_view section, std::string_view name, int defaultValue) override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue = {}) override;
    bool WriteInt(std::string_view section, std::string_view name, int value) override;
    bool WriteString(std::string_view section, std::string_view name,
                     std::optional<std::string_view> value) override;
    bool Contains(std::string_view section, std::string_view name) override;

    // Writes pending changes out; false when the file or registry could not be written.
    bool Sync();
    QString Location() const { return settings_->fileName(); }

  private:
    explicit QtSettingsStore(std::unique_ptr<QSettings> settings);
    std::unique_ptr<QSettings> settings_;
};

}  // namespace partita
