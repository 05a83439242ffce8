#pragma once

#include <QStringList>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace partita::gui {

// One entry of the program's command line, as the parser reads it and the manual page lists it.
struct StartupOption {
    enum class Kind {
        Flag,    // "--help"
        Value,   // "--settings FILE" or "--settings=FILE"
        Action,  // "-a"/"-s": left in the text the "-a SPLIT|MERGE -s PATH" reader gets
        Hidden,  // a flag for the build, listed nowhere
    };
    Kind kind;
    std::string_view name;
    std::string_view shortName;  // empty when there is none
    std::string_view value;      // what a Value or Action entry takes
    std::string_view description;
};

// Every entry, in the order the manual page lists them.
std::span<const StartupOption> StartupOptions();

// The program's own options, taken out of its arguments; what remains is joined into one text
// for the "-a SPLIT|MERGE -s PATH" reader. A single remaining argument that is no option is a
// file opened with the program (from a file manager, say): it becomes "-a SPLIT -s PATH" or, for
// a merge list or a format only the joiner reads, "-a MERGE -s PATH".
struct StartupArguments {
    std::string settingsFile;
    std::vector<std::string> overrides;
    std::string language;
    bool help = false;
    bool version = false;
    bool manPage = false;  // print the manual page (roff) and end
    // Set when an option lacks its value or --lang names another language.
    std::string error;
    std::string commandLine;

    // Whether the program only prints an answer and ends, needing no window.
    bool PrintsOnly() const { return help || version || manPage; }
};

// `arguments` without the program's own path (and without the options Qt took).
StartupArguments ParseStartupArguments(const QStringList& arguments);

}  // namespace partita::gui
