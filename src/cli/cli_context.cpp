#include "cli_context.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <clocale>
#include <cstdlib>
#include <iostream>

#include "app/setting_values.h"
#include "app/string_table.h"
#include "cli_docs.h"
#include "commands.h"
#include "settings_location.h"

namespace partita::cli {
namespace {

std::string LocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return {};
}

}  // namespace

Context::Context() = default;
Context::~Context() = default;

SettingsStore& Context::Settings() {
    return settings->Store();
}

int Run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    Context context;
    context.programName = ProgramBaseName(argc > 0 ? argv[0] : "partita");
    context.out = &out;
    context.err = &err;
    context.stderrIsTerminal = ::isatty(STDERR_FILENO) != 0;

    CLI::App app{
        "Partita Studio: cut MPEG audio and WAV files into tracks, join audio files "
        "into one MP3.",
        "partita"};
    app.require_subcommand(1);
    app.fallthrough();
    app.add_option("--settings", context.settingsFile,
                   "INI file used instead of the per-user settings")
        ->type_name("FILE");
    app.add_option("--set", context.overrides,
                   "Override a setting for this run only (repeatable), such as "
                   "\"Settings/Legacy Code Page=GBK\": the code page of sheets, lists and ID3v1 "
                   "tags that are not Unicode (default: the locale's)")
        ->type_name("SECTION/NAME=VALUE")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--lang", context.language, "Language of messages")
        ->check(CLI::IsMember({"zh_CN", "en"}));

    std::vector<std::pair<CLI::App*, CommandRunner>> commands;
    auto add = [&](CommandRunner runner) {
        commands.emplace_back(app.get_subcommands({}).back(), std::move(runner));
    };
    add(AddInfoCommand(app, context));
    add(AddSplitCommand(app, context));
    add(AddMergeCommand(app, context));
    add(AddCueCommand(app, context));
    add(AddVerifyCommand(app, context));
    AddProgramInfoOptions(app, out);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }

    std::string badOverride;
    context.settings = ProgramSettings::Open(context.programName, context.settingsFile,
                                             context.overrides, &badOverride);
    if (!context.settings) {
        err << "--set: expected SECTION/NAME=VALUE, got \"" << badOverride << "\"\n";
        return kExitUsage;
    }
    std::string languageSetting =
        context.language.empty() ? settings::Language.Read(context.Settings()) : context.language;
    SetCurrentLanguage(ResolveLanguage(languageSetting, LocaleName()));

    for (auto& [command, runner] : commands) {
        if (command->parsed()) {
            int code = runner();
            context.settings->Backing().Sync();
            return code;
        }
    }
    return kExitUsage;
}

}  // namespace partita::cli
