#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_store.h"

namespace partita {
class ProgramSettings;

namespace cli {

// Exit codes of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;   // a file or output failed; the rest was still done
inline constexpr int kExitStopped = 2;  // the user stopped the work
inline constexpr int kExitUsage = 64;   // the command line itself was wrong

// What every command gets: the settings of this run, the streams to write to and the name the
// program was started under.
struct Context {
    std::string programName = "partita";
    std::string settingsFile;            // --settings
    std::vector<std::string> overrides;  // --set
    std::string language;                // --lang
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
    bool stderrIsTerminal = false;

    // Opened after parsing, before a command runs.
    std::unique_ptr<ProgramSettings> settings;
    SettingsStore& Settings();

    Context();
    ~Context();
};

// Runs the command line; returns the exit code. `argv[0]` names the program.
int Run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace cli
}  // namespace partita
