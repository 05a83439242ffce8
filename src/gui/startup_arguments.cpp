#include "startup_arguments.h"

namespace partita::gui {
namespace {

// The options that take a value, as "--name VALUE" or "--name=VALUE".
constexpr const char* kValueOptions[] = {"--settings", "--set", "--lang"};

}  // namespace

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
        QString option;
        for (const char* name : kValueOptions) {
            if (argument == name || argument.startsWith(QString(name) + '='))
                option = name;
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
            result.settingsFile = value.toStdString();
        } else if (option == "--set") {
            result.overrides.push_back(value.toStdString());
        } else if (value == "zh_CN" || value == "en") {
            result.language = value.toStdString();
        } else {
            result.error = "--lang: expected zh_CN or en, got \"" + value.toStdString() + "\"";
        }
    }
    result.commandLine = rest.join(' ').toStdString();
    return result;
}

}  // namespace partita::gui
