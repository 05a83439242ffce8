#pragma once

#include <iosfwd>
#include <string>

namespace CLI {
class App;
}

namespace partita::cli {

// Adds --version and the hidden flags the build uses to write the manual page and the bash
// completion from the program's own option tree: --print-man-page, --print-bash-completion.
// Each prints to `out` and ends the program with success.
void AddProgramInfoOptions(CLI::App& app, std::ostream& out);

// The manual page partita(1) in roff: the program's options, then every command with its
// arguments and options, as `app` defines them.
std::string ManPageOf(const CLI::App& app);

// A bash completion script for the program: commands, every command's options, the choices of
// options that take one of a set of words, folders for DIR values and file names elsewhere.
std::string BashCompletionOf(const CLI::App& app);

}  // namespace partita::cli
