#include "app/action_command_line.h"

#include "app/trim.h"

namespace partita {

ActionCommand ParseActionCommandLine(std::string_view commandLine) {
    ActionCommand result;
    auto a = commandLine.find("-a ");
    if (a == std::string_view::npos)
        return result;
    auto s = commandLine.find("-s ", a + 3);
    if (s == std::string_view::npos)
        return result;
    std::string_view action = Trim(commandLine.substr(a + 3, s - (a + 3)));
    if (action == "SPLIT") {
        result.action = CommandAction::Split;
    } else if (action == "MERGE") {
        result.action = CommandAction::Merge;
    }
    result.source = std::string(Trim(commandLine.substr(s + 3)));
    return result;
}

}  // namespace partita
