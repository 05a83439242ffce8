#include "qt_settings_store.h"

#include "app/memory_settings_store.h"

namespace partita {
namespace {

QString Key(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& applicationName)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("LodestarWorks"), applicationName)) {}

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {}

std::unique_ptr<QtSettingsStore> QtSettingsStore::FromIniFile(const QString& path) {
    return std::unique_ptr<QtSettingsStore>(
        new QtSettingsStore(std::make_unique<QSettings>(path, QSettings::IniFormat)));
}

int QtSettingsStore::ReadInt(std::string_view section, std::string_view name, int defaultValue) {
    QVariant value = settings_->value(Key(section, name));
    if (!value.isValid())
        return defaultValue;
    // INI files hold every value as text; the registry holds integers as numbers.
    return ParseStoredInt(value.toString().trimmed().toStdString()).value_or(defaultValue);
}

std::string QtSettingsStore::ReadString(std::string_view section, std::string_view name,
                                        std::string_view defaultValue) {
    QVariant value = settings_->value(Key(section, name));
    if (!value.isValid())
        return std::string(defaultValue);
    return value.toString().toStdString();
}

bool QtSettingsStore::WriteInt(std::string_view section, std::string_view name, int value) {
    settings_->setValue(Key(section, name), value);
    return settings_->status() == QSettings::NoError;
}

bool QtSettingsStore::WriteString(std::string_view section, std::string_view name,
                                  std::optional<std::string_view> value) {
    if (!value) {
        settings_->remove(Key(section, name));
    } else {
        settings_->setValue(
            Key(section, name),
            QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size())));
    }
    return settings_->status() == QSettings::NoError;
}

bool QtSettingsStore::Contains(std::string_view section, std::string_view name) {
    return settings_->contains(Key(section, name));
}

bool QtSettingsStore::Sync() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace partita
