#include "cli_context.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <clocale>
#include <csignal>
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

// The settings a user of the command line may want to change, for --help: the stored ones are
// read by every run, and --set changes one for a single run.
constexpr const char* kSettingsHelp =
    "Settings (kept in the settings file; --set SECTION/NAME=VALUE changes one for this run):\n"
    "  Settings/Legacy Code Page      code page of ID3v1 texts, CUE sheets and merge lists\n"
    "                                 that are not UTF-8 (default ISO-8859-1; e.g. CP1252, GBK)\n"
    "  Settings/Language              zh_CN or en (default: from the locale)\n"
    "  Settings/Install Path          folder searched first for the lame encoder\n"
    "  Settings/Naming rule of Splitter  the naming rule split uses without --rule\n"
    "  Settings/Auto Overlap, FW Overlap, BW Overlap  overlaps (ms) every new source gets\n"
    "  Settings/Auto Add Special, Add Special Type, Add Special By Section,\n"
    "    Add Special By Time          equal parts or fixed lengths every new source gets\n"
    "  MP3 Splitter/Silence Level, Silence Length  silence detection (tenths of dB, ms)\n"
    "  MP3 Splitter/Write VBR Header  copy a source's VBR header into its tracks (1)\n"
    "  MP3 Joiner/Gapless Merge       join a convert merge's files without gaps (1)\n"
    "  Joiner MP3 ID3/Save ID3 TAG    1: merge outputs get the stored tag (Title, Artist, ...)";

// What every command's --help says of the options the program takes before or after it.
constexpr const char* kCommonOptionsHelp =
    "Options of every command (before or after it):\n"
    "  --settings FILE                INI file used instead of the per-user settings\n"
    "  --set SECTION/NAME=VALUE       override a setting for this run only (repeatable)\n"
    "  --lang zh_CN|en                language of messages\n"
    "  -h,--help                      this help; partita help COMMAND is the same";

// "partita help" is "partita --help"; "partita help COMMAND" is "partita COMMAND --help".
std::vector<std::string> WithHelpCommand(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "help") {
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            args.insert(args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 1, args.size())),
                        "--help");
            break;
        }
        if (args[i].empty() || args[i][0] != '-')
            break;  // a command comes first
        if (args[i] == "--settings" || args[i] == "--set" || args[i] == "--lang")
            ++i;  // its value
    }
    return args;
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

    app.footer(kSettingsHelp);
    for (CLI::App* command : app.get_subcommands({}))
        command->footer(std::string(kCommonOptionsHelp) + "\n\n" + kSettingsHelp);

    // A write past a file size limit fails with EFBIG and is reported, instead of ending the
    // program with the output half written.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args = WithHelpCommand(argc, argv);
    try {
        std::vector<char*> pointers;
        for (std::string& arg : args)
            pointers.push_back(arg.data());
        app.parse(static_cast<int>(pointers.size()), pointers.data());
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
