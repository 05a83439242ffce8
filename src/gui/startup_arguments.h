#pragma once

#include <QStringList>
#include <string>
#include <vector>

namespace partita::gui {

// The program's own options, taken out of its arguments; what remains is joined into one text
// for the "-a SPLIT|MERGE -s PATH" reader. Options: --settings FILE, --set SECTION/NAME=VALUE
// (repeatable), --lang zh_CN|en (each also as --option=VALUE), --help, --version.
struct StartupArguments {
    std::string settingsFile;
    std::vector<std::string> overrides;
    std::string language;
    bool help = false;
    bool version = false;
    // Set when an option lacks its value or --lang names another language.
    std::string error;
    std::string commandLine;
};

// `arguments` without the program's own path (and without the options Qt took).
StartupArguments ParseStartupArguments(const QStringList& arguments);

}  // namespace partita::gui
