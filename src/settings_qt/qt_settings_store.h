#pragma once

#include <QHash>
#include <QSettings>
#include <memory>
#include <string>

#include "app/settings_store.h"

namespace partita {

// The settings store on QSettings: sections are groups and value names are the table's names,
// so on Windows the values land under the registry key
// HKEY_CURRENT_USER/Software/LodestarWorks/<program>/<section>. Elsewhere Qt keeps them in its
// per-user configuration file.
//
// Such a file may be written by hand, as INI files are: "Title=Hello, World" or
// "Naming rule of Splitter=%G\%F-%S". QSettings reads its own dialect, where a comma makes a
// list, a ";" starts a comment and a "\" an escape; a value is read as QSettings reads it only
// when its text is in that dialect (quoted where it must be, "\" only before "\" or a quote),
// else as written (less one pair of enclosing quotes). Before the first write such values are
// handed to QSettings as read, so the file it rewrites keeps their meaning.
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
    // Reads the texts of the values in the store's file as written, when it is a file.
    void ReadFileTexts();
    // The value of `key`: as QSettings reads it, or as the file's text says (see above).
    QVariant Value(const QString& key) const;
    // Before the first write: values read otherwise than QSettings reads them go to QSettings.
    void KeepFileTexts();

    std::unique_ptr<QSettings> settings_;
    // "section/name" → the value's text in the file; emptied at the first write, when QSettings
    // takes the values over.
    QHash<QString, QString> fileTexts_;
};

}  // namespace partita
