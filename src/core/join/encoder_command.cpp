#include "join/encoder_command.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace partita {
namespace fs = std::filesystem;
namespace {

bool IsExecutableFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

EncoderCommand MakeEncoderCommand(const std::string& encoderPath, const std::string& outputPath,
                                  int sampleRate, int channels) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.3f", sampleRate / 1000.0);
    EncoderCommand command;
    command.arguments = {encoderPath, "-h", "-r", "--bitwidth", "16"};
    if (channels == 1) {
        command.arguments.push_back("-m");
        command.arguments.push_back("mono");
    }
    command.arguments.insert(command.arguments.end(), {"-s", rate, "-", outputPath});

    command.text = "\"" + encoderPath + "\" -h -r --bitwidth 16 ";
    if (channels == 1)
        command.text += "-m mono ";
    command.text += std::string("-s ") + rate + " - \"" + outputPath + "\"";
    return command;
}

std::string FindEncoder(std::string_view installPath, std::string_view programFolder,
                        std::string_view searchPath) {
    const std::string name(kEncoderName);
    for (std::string_view folder : {installPath, programFolder}) {
        if (folder.empty())
            continue;
        fs::path candidate = fs::path(folder) / name;
        if (IsExecutableFile(candidate))
            return candidate.string();
    }
    while (!searchPath.empty()) {
        auto colon = searchPath.find(':');
        std::string_view folder = searchPath.substr(0, colon);
        searchPath =
            colon == std::string_view::npos ? std::string_view{} : searchPath.substr(colon + 1);
        // An empty PATH element means the current folder.
        fs::path candidate = (folder.empty() ? fs::path(".") : fs::path(folder)) / name;
        if (IsExecutableFile(candidate))
            return candidate.string();
    }
    return {};
}

std::string ProgramFolder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

}  // namespace partita
