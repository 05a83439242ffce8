#include "startup_arguments.h"

namespace partita::gui {

StartupArguments ParseStartupArguments(const QStringList& arguments) {
    StartupArguments result;
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            result.help = true;
            continue;
        }
        if (argument == "--version") {
            result.version = true;
            continue;
        }
        std::string* target = nullptr;
        QString option;
        for (const char* name : {"--settings", "--set", "--lang"}) {
            if (argument == name || argument.startsWith(QString(name) + '=')) {
                option = name;
                break;
            }
        }
        if (option.isEmpty()) {
            rest << argument;
            continue;
        }
        QString value;
        if (argument.size() > option.size()) {
            value = argument.mid(option.size() + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = option.toStdString() + ": a value is missing";
            continue;
        }
        if (option == "--settings") {
            target = &result.settingsFile;
        } else if (option == "--lang") {
            target = &result.language;
            if (value != "zh_CN" && value != "en")
                result.error = "--lang: expected zh_CN or en, got \"" + value.toStdString() + "\"";
        } else {
            result.overrides.push_back(value.toStdString());
        }
        if (target)
            *target = value.toStdString();
    }
    result.commandLine = rest.join(' ').toStdString();
    return result;
}

}  // namespace partita::gui
