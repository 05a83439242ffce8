#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"

namespace partita::test {

// Runs the partita program with the given arguments and a settings file of the test's own.
struct CliResult {
    int code;
    std::string output;
};

inline CliResult RunCli(const std::vector<std::string>& args) {
    std::vector<std::string> argv{PARTITA_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    CliResult result;
    result.code = RunProgram(argv, &result.output);
    return result;
}

}  // namespace partita::test
