#include "cli_docs.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <ostream>
#include <sstream>

#include "app/man_page.h"
#include "cli_context.h"

#ifndef PARTITA_VERSION
#define PARTITA_VERSION "0.0.0"
#endif

namespace partita::cli {
namespace {

using OptionList = std::vector<const CLI::Option*>;

// The arguments and options the help lists, arguments first: hidden ones have no group; an
// option group is an unnamed subcommand whose options belong to its parent.
OptionList OptionsOf(const CLI::App& app) {
    OptionList options =
        app.get_options([](const CLI::Option* option) { return !option->get_group().empty(); });
    for (const CLI::App* group :
         app.get_subcommands([](const CLI::App* sub) { return sub->get_name().empty(); })) {
        OptionList more = OptionsOf(*group);
        options.insert(options.end(), more.begin(), more.end());
    }
    std::stable_partition(options.begin(), options.end(),
                          [](const CLI::Option* option) { return !option->nonpositional(); });
    return options;
}

std::vector<const CLI::App*> CommandsOf(const CLI::App& app) {
    return app.get_subcommands(
        [](const CLI::App* sub) { return !sub->get_name().empty() && !sub->get_group().empty(); });
}

std::vector<std::string> NamesOf(const CLI::Option& option) {
    std::vector<std::string> names;
    for (const std::string& name : option.get_snames())
        names.push_back("-" + name);
    for (const std::string& name : option.get_lnames())
        names.push_back("--" + name);
    return names;
}

// A flag takes no value: it expects none.
bool TakesValue(const CLI::Option& option) {
    return option.get_items_expected_max() > 0;
}

bool TakesMany(const CLI::Option& option) {
    return option.get_items_expected_max() >= CLI::detail::expected_max_vector_size;
}

// What an option's value is: CLI11 gives "TEXT:{zh_CN,en}" for a choice of words and
// "SECONDS:NONNEGATIVE" for a checked number.
struct ValueShape {
    std::string type;
    std::vector<std::string> choices;
    std::string check;
};

ValueShape ShapeOf(const CLI::Option& option) {
    ValueShape shape;
    std::string full = option.get_type_name();
    std::size_t colon = full.find(':');
    shape.type = full.substr(0, colon);
    if (colon == std::string::npos)
        return shape;
    std::string rest = full.substr(colon + 1);
    if (rest.size() >= 2 && rest.front() == '{' && rest.back() == '}') {
        std::stringstream words(rest.substr(1, rest.size() - 2));
        for (std::string word; std::getline(words, word, ',');)
            shape.choices.push_back(word);
    } else {
        shape.check = rest;
    }
    return shape;
}

std::string Joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string out;
    for (const std::string& word : words)
        out += (out.empty() ? "" : separator) + word;
    return out;
}

void AddSentence(std::string& text, const std::string& sentence) {
    if (!text.empty() && text.back() != '.')
        text += '.';
    text += (text.empty() ? "" : " ") + sentence;
}

ManItem ItemOf(const CLI::Option& option) {
    ManItem item;
    item.text = option.get_description();
    if (!option.nonpositional()) {
        item.names = {option.get_name(true) + (TakesMany(option) ? "..." : "")};
        return item;
    }
    item.names = NamesOf(option);
    if (!TakesValue(option))
        return item;
    ValueShape shape = ShapeOf(option);
    item.value = shape.type;
    if (!shape.choices.empty() && shape.type == "TEXT") {
        item.value = Joined(shape.choices, "|");
    } else if (!shape.choices.empty()) {
        AddSentence(item.text, "One of: " + Joined(shape.choices, ", ") + ".");
    } else if (!shape.check.empty()) {
        AddSentence(item.text, "Checked: " + shape.check + ".");
    }
    if (!option.get_default_str().empty())
        AddSentence(item.text, "Default: " + option.get_default_str() + ".");
    return item;
}

// "partita split [OPTIONS] SOURCE..." for a command.
std::string UsageOf(const std::string& program, const CLI::App& command) {
    std::string usage = program + " " + command.get_name() + " [OPTIONS]";
    for (const CLI::Option* option : OptionsOf(command)) {
        if (option->nonpositional())
            continue;
        std::string name = option->get_name(true) + (TakesMany(*option) ? "..." : "");
        usage += " " + (option->get_required() ? name : "[" + name + "]");
    }
    return usage;
}

// Bash: the words after "$command:$prev" patterns complete the value of an option: one of its
// choices, a folder, a file when its value names one, else nothing (a time, a number, a text).
void WriteValueCases(std::ostream& out, const std::string& command, const OptionList& options) {
    for (const CLI::Option* option : options) {
        if (!option->nonpositional() || !TakesValue(*option))
            continue;
        std::string patterns;
        for (const std::string& name : NamesOf(*option))
            patterns += (patterns.empty() ? "" : "|") + command + ":" + name;
        ValueShape shape = ShapeOf(*option);
        const std::string& type = shape.type;
        std::size_t dot = type.find('.');  // "LIST.m3u" names a file kind, "T,T,..." does not
        bool namesFileKind = dot != std::string::npos && dot + 1 < type.size() &&
                             std::islower(static_cast<unsigned char>(type[dot + 1]));
        out << "        " << patterns << ") ";
        if (!shape.choices.empty()) {
            out << "_partita_words \"" << Joined(shape.choices, " ") << "\"; ";
        } else if (type == "DIR") {
            out << "_partita_paths -d; ";
        } else if (type == "FILE" || type == "PATH" || type == "OUT" || type == "LIST" ||
                   namesFileKind) {
            out << "_partita_paths -f; ";
        }
        out << "return ;;\n";
    }
}

std::string OptionWords(const OptionList& options) {
    std::vector<std::string> words;
    for (const CLI::Option* option : options) {
        std::vector<std::string> names = NamesOf(*option);
        words.insert(words.end(), names.begin(), names.end());
    }
    return Joined(words, " ");
}

}  // namespace

void AddProgramInfoOptions(CLI::App& app, std::ostream& out) {
    app.set_version_flag("--version", std::string("partita (Partita Studio) ") + PARTITA_VERSION);
    auto printer = [&app, &out](std::string (*write)(const CLI::App&)) {
        return [&app, &out, write] {
            out << write(app);
            throw CLI::Success();
        };
    };
    app.add_flag_callback("--print-man-page", printer(ManPageOf))->group("");
    app.add_flag_callback("--print-bash-completion", printer(BashCompletionOf))->group("");
}

std::string ManPageOf(const CLI::App& app) {
    const std::string program = app.get_name();
    ManPage page;
    page.name = program;
    page.summary = "cut MPEG audio and WAV files into tracks, join audio files into one MP3";
    page.source = std::string("Partita Studio ") + PARTITA_VERSION;
    page.synopsis.push_back(program + " [OPTIONS] COMMAND [ARGS]...");
    for (const CLI::App* command : CommandsOf(app))
        page.synopsis.push_back(UsageOf(program, *command));

    ManSection description{"Description"};
    description.paragraphs = {app.get_description(),
                              "The options below come before or after the command; " + program +
                                  " COMMAND --help lists a command's own."};
    ManSection options{"Options"};
    for (const CLI::Option* option : OptionsOf(app))
        options.items.push_back(ItemOf(*option));

    ManSection commands{"Commands"};
    for (const CLI::App* command : CommandsOf(app)) {
        ManSection entry{UsageOf(program, *command), {command->get_description()}};
        for (const CLI::Option* option : OptionsOf(*command))
            entry.items.push_back(ItemOf(*option));
        commands.subsections.push_back(std::move(entry));
    }

    ManSection exitStatus{"Exit status"};
    exitStatus.items = {
        {{std::to_string(kExitOk)}, "", "Done."},
        {{std::to_string(kExitFailed)}, "", "A file or an output failed; the rest was still done."},
        {{std::to_string(kExitStopped)}, "", "The user stopped the work."},
        {{std::to_string(kExitUsage)}, "", "The command line itself was wrong."}};
    ManSection seeAlso{"See also"};
    seeAlso.paragraphs = {"partita-studio(1), lame(1)"};

    page.sections = {description, options, commands, exitStatus};
    for (ManSection& section : SharedManSections(program))
        page.sections.push_back(std::move(section));
    page.sections.push_back(seeAlso);
    return WriteManPage(page);
}

std::string BashCompletionOf(const CLI::App& app) {
    const std::string program = app.get_name();
    const OptionList globals = OptionsOf(app);
    std::vector<std::string> commandNames;
    for (const CLI::App* command : CommandsOf(app))
        commandNames.push_back(command->get_name());
    std::vector<std::string> globalValueOptions;
    for (const CLI::Option* option : globals) {
        if (TakesValue(*option)) {
            std::vector<std::string> names = NamesOf(*option);
            globalValueOptions.insert(globalValueOptions.end(), names.begin(), names.end());
        }
    }

    std::ostringstream out;
    out << "# bash completion for " << program << ", written by " << program
        << " --print-bash-completion\n"
           "_partita_words() { mapfile -t COMPREPLY < <(compgen -W \"$1\" -- \"$cur\"); }\n"
           "_partita_paths() {\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    mapfile -t COMPREPLY < <(compgen \"$1\" -- \"$cur\")\n"
           "}\n"
           "_partita() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    local command=\"\" i\n"
           "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
           "        case ${COMP_WORDS[i]} in\n";
    if (!globalValueOptions.empty())
        out << "        " << Joined(globalValueOptions, "|") << ") ((i++)) ;;\n";
    out << "        " << Joined(commandNames, "|")
        << ") command=${COMP_WORDS[i]}; break ;;\n"
           "        esac\n"
           "    done\n"
           "    case $command:$prev in\n";
    WriteValueCases(out, "*", globals);
    for (const CLI::App* command : CommandsOf(app))
        WriteValueCases(out, command->get_name(), OptionsOf(*command));
    out << "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        case $command in\n"
           "        \"\") _partita_words \""
        << OptionWords(globals) << "\" ;;\n";
    for (const CLI::App* command : CommandsOf(app)) {
        out << "        " << command->get_name() << ") _partita_words \""
            << OptionWords(OptionsOf(*command)) << " " << OptionWords(globals) << "\" ;;\n";
    }
    out << "        esac\n"
           "    elif [[ -z $command ]]; then\n"
           "        _partita_words \""
        << Joined(commandNames, " ")
        << "\"\n"
           "    else\n"
           "        _partita_paths -f\n"
           "    fi\n"
           "}\n"
           "complete -F _partita "
        << program << "\n";
    return out.str();
}

}  // namespace partita::cli
