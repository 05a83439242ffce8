#include "startup_arguments.h"

#include <QFileInfo>
#include <array>

#include "audio/audio_type.h"

namespace partita::gui {
namespace {

using Kind = StartupOption::Kind;

constexpr std::array kOptions = {
    StartupOption{Kind::Action, "-a", "", "SPLIT|MERGE",
                  "With -s: start with PATH in the splitter (SPLIT) or the joiner (MERGE). The "
                  "action is written in capitals."},
    StartupOption{Kind::Action, "-s", "", "PATH",
                  "The file to split or to join: everything after -s that is not one of the "
                  "options below, spaces included."},
    StartupOption{Kind::Value, "--settings", "", "FILE",
                  "INI file used instead of the per-user settings."},
    StartupOption{Kind::Value, "--set", "", "SECTION/NAME=VALUE",
                  "Override a setting for this run only; nothing is stored. Repeatable."},
    StartupOption{Kind::Value, "--lang", "", "zh_CN|en",
                  "Language of the window and its messages (default: the setting "
                  "Settings/Language, else the locale)."},
    StartupOption{Kind::Flag, "--help", "-h", "",
                  "Print the usage and the manual's place, and end."},
    StartupOption{Kind::Flag, "--version", "", "",
                  "Print the program's name and version, and end."},
    StartupOption{Kind::Hidden, "--print-man-page", "", "", ""},
};

// What a file opened with the program is for: merge lists and the formats only the joiner
// decodes go to the joiner; MPEG audio, WAV, CUE sheets and anything unknown to the splitter,
// which names the file's fault when it cannot take it.
const char* ActionForFile(const QString& path) {
    QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "m3u" || suffix == "m3u8" || suffix == "pls")
        return "MERGE";
    auto type = audio::AudioTypeFromExtension(path.toStdString());
    if (type == audio::AudioType::Ogg || type == audio::AudioType::Wma ||
        type == audio::AudioType::Aiff)
        return "MERGE";
    return "SPLIT";
}

}  // namespace

std::span<const StartupOption> StartupOptions() {
    return kOptions;
}

StartupArguments ParseStartupArguments(const QStringList& arguments) {
    StartupArguments result;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const StartupOption* option = nullptr;
        for (const StartupOption& candidate : kOptions) {
            QString name = QString::fromUtf8(candidate.name);
            bool named = argument == name ||
                         (!candidate.shortName.empty() &&
                          argument == QString::fromUtf8(candidate.shortName)) ||
                         (candidate.kind == Kind::Value && argument.startsWith(name + '='));
            if (named && candidate.kind != Kind::Action)
                option = &candidate;
        }
        if (!option) {
            rest << argument;
            continue;
        }
        if (option->kind != Kind::Value) {
            bool& flag = option->name == "--help"      ? result.help
                         : option->name == "--version" ? result.version
                                                       : result.manPage;
            flag = true;
            continue;
        }
        QString value;
        if (argument.size() > qsizetype(option->name.size())) {
            value = argument.mid(option->name.size() + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = std::string(option->name) + ": a value is missing";
            continue;
        }
        if (option->name == "--settings") {
            result.settingsFile = value.toStdString();
        } else if (option->name == "--set") {
            result.overrides.push_back(value.toStdString());
        } else if (value == "zh_CN" || value == "en") {
            result.language = value.toStdString();
        } else {
            result.error = "--lang: expected zh_CN or en, got \"" + value.toStdString() + "\"";
        }
    }
    if (rest.size() == 1 && !rest[0].startsWith('-'))
        rest = QStringList{"-a", ActionForFile(rest[0]), "-s", rest[0]};
    result.commandLine = rest.join(' ').toStdString();
    return result;
}

}  // namespace partita::gui
