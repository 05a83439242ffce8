#include <CLI/CLI.hpp>
#include <filesystem>
#include <sstream>

#include "cli_context.h"
#include "commands.h"
#include "report_writer.h"

namespace partita::cli {
namespace fs = std::filesystem;

CommandRunner AddInfoCommand(CLI::App& app, Context& context) {
    struct Options {
        std::vector<std::string> files;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand("info", "Show what the program reads from audio files");
    command->add_option("FILE", options->files, "Audio files")->required();
    command->add_flag("--json", options->json, "One JSON array, an object per file");

    return [options, &context]() {
        ReportWriter report(*context.out, options->json);
        int code = kExitOk;
        for (const std::string& path : options->files) {
            nlohmann::json item{{"path", path}};
            std::ostringstream text;
            text << path << "\n";
            std::error_code ec;
            auto size = fs::file_size(path, ec);
            if (ec) {
                item["error"] = ec.message();
                text << "  error: " << ec.message() << "\n";
                code = kExitFailed;
            } else {
                item["fileLength"] = size;
                text << "  file length: " << size << " bytes\n";
            }
            report.Add(item, text.str());
        }
        return code;
    };
}

}  // namespace partita::cli
