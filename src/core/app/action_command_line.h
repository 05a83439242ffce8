#pragma once

#include <string>
#include <string_view>

namespace partita {

// The action a command line names: "-a SPLIT -s PATH" or "-a MERGE -s PATH".
enum class CommandAction { None = 0, Merge = 1, Split = 2 };

struct ActionCommand {
    CommandAction action = CommandAction::None;
    std::string source;
};

// Reads "-a ACTION -s PATH" from a whole command-line text. Anything before "-a " is ignored;
// the action is the text between "-a " and "-s ", the path everything after "-s ", both trimmed
// of white space (quotes stay). The action is compared case-sensitively. A text without both
// markers, or with "-s " before "-a ", gives no action and no path.
ActionCommand ParseActionCommandLine(std::string_view commandLine);

}  // namespace partita
