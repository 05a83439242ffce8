#include "qt_settings_store.h"

#include <QFile>
#include <QFileInfo>

#include "app/memory_settings_store.h"

namespace partita {
namespace {

QString Key(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// A section or value name as QSettings writes it, with "%XX" and "%UXXXX" for other characters.
QString UnescapedName(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        if (text[i] == '%' && i + 5 < text.size() && text[i + 1] == 'U') {
            const ushort code = text.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 5;
                continue;
            }
        } else if (text[i] == '%' && i + 2 < text.size()) {
            const ushort code = text.mid(i + 1, 2).toUShort(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool Quoted(const QString& text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// Whether QSettings reads the text as it means: quoted where QSettings quotes (a comma or a ";"
// outside quotes is a list or a comment to it), and "\" only as its escape of "\" or a quote.
bool InQSettingsDialect(const QString& text) {
    const bool quoted = Quoted(text);
    const QString inner = quoted ? text.mid(1, text.size() - 2) : text;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        const QChar c = inner[i];
        if (c == '\\') {
            if (i + 1 >= inner.size() || (inner[i + 1] != '\\' && inner[i + 1] != '"'))
                return false;
            ++i;
        } else if (c == '"' || (!quoted && (c == ',' || c == ';'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

QtSettingsStore::QtSettingsStore(const QString& applicationName)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("LodestarWorks"), applicationName)) {
    ReadFileTexts();
}

QtSettingsStore::QtSettingsStore(std::unique_ptr<QSettings> settings)
    : settings_(std::move(settings)) {
    ReadFileTexts();
}

void QtSettingsStore::ReadFileTexts() {
    // The registry holds typed values; a file holds texts.
    const QFileInfo info(settings_->fileName());
    if (!info.isFile())
        return;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return;
    QString section;
    QByteArray text = file.readAll();
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);  // a byte order mark, as editors write
    for (const QByteArray& bytes : text.split('\n')) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = UnescapedName(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && !section.isEmpty())
            fileTexts_.insert(section + '/' + UnescapedName(line.left(equals).trimmed()),
                              line.mid(equals + 1).trimmed());
    }
}

QVariant QtSettingsStore::Value(const QString& key) const {
    QVariant value = settings_->value(key);
    const auto text = fileTexts_.constFind(key);
    if (text == fileTexts_.cend())
        return value;
    if (value.typeId() == QMetaType::QString && InQSettingsDialect(*text))
        return value;
    return Quoted(*text) ? text->mid(1, text->size() - 2) : *text;
}

void QtSettingsStore::KeepFileTexts() {
    for (auto it = fileTexts_.cbegin(); it != fileTexts_.cend(); ++it) {
        const QVariant value = Value(it.key());
        if (value != settings_->value(it.key()))
            settings_->setValue(it.key(), value);
    }
    fileTexts_.clear();
}

std::unique_ptr<QtSettingsStore> QtSettingsStore::FromIniFile(const QString& path) {
    return std::unique_ptr<QtSettingsStore>(
        new QtSettingsStore(std::make_unique<QSettings>(path, QSettings::IniFormat)));
}

int QtSettingsStore::ReadInt(std::string_view section, std::string_view name, int defaultValue) {
    QVariant value = Value(Key(section, name));
    if (!value.isValid())
        return defaultValue;
    // INI files hold every value as text; the registry holds integers as numbers.
    return ParseStoredInt(value.toString().trimmed().toStdString()).value_or(defaultValue);
}

std::string QtSettingsStore::ReadString(std::string_view section, std::string_view name,
                                        std::string_view defaultValue) {
    QVariant value = Value(Key(section, name));
    if (!value.isValid())
        return std::string(defaultValue);
    return value.toString().toStdString();
}

bool QtSettingsStore::WriteInt(std::string_view section, std::string_view name, int value) {
    KeepFileTexts();
    settings_->setValue(Key(section, name), value);
    return settings_->status() == QSettings::NoError;
}

bool QtSettingsStore::WriteString(std::string_view section, std::string_view name,
                                  std::optional<std::string_view> value) {
    KeepFileTexts();
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
    const QString key = Key(section, name);
    return settings_->contains(key) || fileTexts_.contains(key);
}

bool QtSettingsStore::Sync() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

}  // namespace partita
