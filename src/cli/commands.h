#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace partita::cli {

struct Context;

// A command adds its subcommand to the program and returns what runs it once the command line
// is parsed and the settings are open.
using CommandRunner = std::function<int()>;

CommandRunner AddInfoCommand(CLI::App& app, Context& context);
CommandRunner AddSplitCommand(CLI::App& app, Context& context);
CommandRunner AddMergeCommand(CLI::App& app, Context& context);
CommandRunner AddCueCommand(CLI::App& app, Context& context);
CommandRunner AddVerifyCommand(CLI::App& app, Context& context);

}  // namespace partita::cli
