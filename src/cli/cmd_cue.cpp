#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli_context.h"
#include "cli_job_host.h"
#include "commands.h"
#include "cue/cue_list.h"
#include "report_writer.h"
#include "split/source_probe.h"
#include "split/split_options.h"
#include "track_options.h"

namespace partita::cli {

CommandRunner AddCueCommand(CLI::App& app, Context& context) {
    struct Options {
        std::string source;
        std::string sheet;
        bool overwrite = false;
        bool quiet = false;
        bool json = false;
        TrackOptions tracks;
    };
    auto o = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "cue", "Make the tracks of a source and save them as a CUE sheet, cutting nothing");
    command->add_option("SOURCE", o->source, "Audio file or CUE sheet")->required();
    command->add_option("-o,--output", o->sheet, "The sheet to write")
        ->required()
        ->type_name("SHEET.cue");
    command->add_flag("--overwrite", o->overwrite, "Replace an existing sheet");
    AddTrackOptions(*command, o->tracks);
    command->add_flag("-q,--quiet", o->quiet, "Print errors and warnings only");
    command->add_flag("--json", o->json, "A JSON object describing the sheet written");

    return [o, &context]() -> int {
        SettingsStore& settings = context.Settings();
        std::optional<TrackPlan> plan = ReadTrackOptions(o->tracks, settings, *context.err, "cue");
        if (!plan)
            return kExitUsage;

        CliHostOptions hostOptions;
        hostOptions.interactive = context.stderrIsTerminal && ::isatty(STDIN_FILENO) != 0;
        hostOptions.progressBar = context.stderrIsTerminal;
        hostOptions.quiet = o->quiet;
        hostOptions.assumeYes = o->overwrite;
        CliJobHost host(*context.err, std::cin, hostOptions);

        SplitList list;
        const SourceLoadDefaults defaults = SourceLoadDefaultsFromSettings(settings);
        FileSourceProbe probe(defaults.codePage);
        RowId source = kNoRow;
        TrackSourceResult added =
            AddTrackSource(list, defaults, host, probe, o->source, *plan, source);
        if (added == TrackSourceResult::Stopped)
            return kExitStopped;
        if (added == TrackSourceResult::Failed)
            return kExitFailed;

        if (!SaveCueForSource(list, source, o->sheet, host))
            return kExitFailed;

        nlohmann::json item{{"sheet", o->sheet},
                            {"audio", list.SourcePath(source)},
                            {"tracks", list.TrackCount(source)}};
        // One sheet: one object, as the help says.
        if (o->json)
            *context.out << item.dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                         << '\n';
        else if (!o->quiet)
            host.PrintLine(*context.out,
                           o->sheet + "\t" + std::to_string(list.TrackCount(source)) + " tracks");
        return kExitOk;
    };
}

}  // namespace partita::cli
