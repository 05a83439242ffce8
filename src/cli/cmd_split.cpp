#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/string_table.h"
#include "app/time_text.h"
#include "cli_context.h"
#include "cli_job_host.h"
#include "cli_time.h"
#include "commands.h"
#include "cue/cue_list.h"
#include "report_writer.h"
#include "split/gapless_cut.h"
#include "split/source_probe.h"
#include "split/split_engine.h"
#include "split/split_job.h"
#include "split/split_options.h"
#include "track_options.h"

namespace partita::cli {
namespace fs = std::filesystem;

namespace {

struct SplitOptions {
    std::vector<std::string> sources;
    std::string outputFolder;
    bool sameFolder = false;
    std::optional<std::string> rule;
    std::optional<std::string> group;
    std::optional<std::string> mode;
    std::vector<std::string> at;
    bool overwrite = false;
    bool skipExisting = false;
    bool countGenerated = false;
    bool noVbrHeader = false;
    bool sampleAccurate = false;
    // The tag columns a source gets, in the list's column numbers.
    std::vector<std::pair<int, std::optional<std::string>>> tags{
        {kColTitle, {}},   {kColArtist, {}},      {kColAlbum, {}}, {kColYear, {}},
        {kColComment, {}}, {kColTrackNumber, {}}, {kColGenre, {}}};
    bool dryRun = false;
    bool quiet = false;
    bool json = false;
    TrackOptions tracks;
    bool exportCue = false;
    std::string pregaps = "skip";
};

const char* StateName(SplitTrackReport::State state) {
    switch (state) {
        case SplitTrackReport::State::Written:
            return "written";
        case SplitTrackReport::State::Planned:
            return "planned";
        case SplitTrackReport::State::Skipped:
            return "skipped";
        case SplitTrackReport::State::SameAsSource:
            return "refused";
        case SplitTrackReport::State::Failed:
            return "failed";
        case SplitTrackReport::State::NotCut:
            return "not cut";
    }
    return "";
}

// Sets a tag column of a source and of every track it has.
void SetSourceColumn(SplitList& list, RowId source, int column, const std::string& text) {
    list.EditCell(source, column, text);
    for (RowId track : list.Children(source))
        list.EditCell(track, column, text);
}

// The job's choices: the stored ones (with the user's --set overrides) under the command's
// flags. The command line asks for no folder and shows no boxes; what the job chose is not kept.
SplitJobOptions JobOptions(SettingsStore& settings, const SplitOptions& o) {
    SplitJobOptions options = SplitJobOptionsFromSettings(settings);
    if (o.rule)
        options.namingRule = *o.rule;
    options.outputFolder = o.outputFolder;
    options.confirmOutputFolder = false;
    options.sameFolder = o.sameFolder;
    options.confirmOverwrite = true;
    options.countGenerated = o.countGenerated;
    options.cut.writeVbrHeader = !o.noVbrHeader;
    options.cut.sampleAccurate = o.sampleAccurate;
    options.exportCue = o.exportCue;
    options.showSuccess = false;
    options.openFolder = false;
    options.startNewSplit = false;
    options.dryRun = o.dryRun;
    return options;
}

}  // namespace

CommandRunner AddSplitCommand(CLI::App& app, Context& context) {
    auto o = std::make_shared<SplitOptions>();
    CLI::App* command =
        app.add_subcommand("split", "Cut MPEG audio and WAV files into tracks without re-encoding");
    command->add_option("SOURCE", o->sources, "Audio files or CUE sheets to split")->required();
    command->add_option("-o,--output", o->outputFolder, "Folder for the tracks")->type_name("DIR");
    command->add_flag("--same-folder", o->sameFolder, "Write the tracks next to their source");
    command
        ->add_option("--rule", o->rule,
                     "Naming rule: %F source name, %G group, %S sequence, %N track count, "
                     "%T title, %A artist, %M album, %K track number; \\ or / makes a "
                     "folder (default: the stored rule, %G\\%F-%S)")
        ->type_name("PATTERN");
    command->add_option("--group", o->group, "Name of the split group of the sources");
    command->add_option("--mode", o->mode, "How times map to bytes")
        ->check(CLI::IsMember({"auto", "fast", "frame"}));
    command->add_option("--at", o->at, "Split points: h:mm:ss.fff, m:ss.fff or seconds")
        ->delimiter(',')
        ->type_name("T,T,...");
    auto* overwrite = command->add_flag("--overwrite", o->overwrite, "Replace existing outputs");
    command->add_flag("--skip-existing", o->skipExisting, "Keep existing outputs")
        ->excludes(overwrite);
    command->add_flag("--count-generated", o->countGenerated,
                      "Number the outputs without gaps where tracks are left out");
    auto* noVbrHeader = command->add_flag("--no-vbr-header", o->noVbrHeader,
                                          "Leave out the copy of a source's VBR header");
    command
        ->add_flag("--sample-accurate", o->sampleAccurate,
                   "Cut MP3 (Layer III) sources to the sample for gapless players: each track "
                   "starts with the frames before its cut and a LAME tag that skips them")
        ->excludes(noVbrHeader);
    const char* tagOptions[][2] = {
        {"--title",
         "Title of the tracks (%S: the track's position, %K: its track number, "
         "%M: the album)"},
        {"--artist", "Artist of the tracks (placeholders as for --title)"},
        {"--album", "Album of the tracks (%S, %K)"},
        {"--year", "Year of the tracks"},
        {"--comment", "Comment of the tracks (placeholders as for --title)"},
        {"--track", "Track number of the tracks (%S: the track's position)"},
        {"--genre", "Genre name of the tracks"}};
    for (std::size_t i = 0; i < o->tags.size(); ++i)
        command->add_option(tagOptions[i][0], o->tags[i].second, tagOptions[i][1]);
    AddTrackOptions(*command, o->tracks);
    command->add_flag("--export-cue", o->exportCue,
                      "Write a CUE sheet of each source's tracks next to its outputs");
    command
        ->add_option("--pregaps", o->pregaps,
                     "A sheet's pregaps (INDEX 00 to INDEX 01): skip (a track of their own, not "
                     "split; the default), previous (the end of the track before) or separate "
                     "(a track of their own, split)")
        ->check(CLI::IsMember({"skip", "previous", "separate"}));
    command->add_flag("--dry-run", o->dryRun,
                      "Print every output's path, times and bytes; write nothing");
    command->add_flag("-q,--quiet", o->quiet, "Print errors and warnings only");
    command->add_flag("--json", o->json, "One JSON array, an object per output");

    return [o, &context]() -> int {
        if (o->outputFolder.empty() && !o->sameFolder) {
            *context.err << "split: give an output folder (-o DIR) or --same-folder\n";
            return kExitUsage;
        }
        std::vector<std::uint64_t> points;
        for (const std::string& text : o->at) {
            auto ms = ParseCommandLineTime(text);
            if (!ms) {
                *context.err << "split: --at: not a time: \"" << text << "\"\n";
                return kExitUsage;
            }
            points.push_back(*ms);
        }

        SettingsStore& settings = context.Settings();
        std::optional<TrackPlan> plan =
            ReadTrackOptions(o->tracks, settings, *context.err, "split");
        if (!plan)
            return kExitUsage;
        SourceLoadDefaults defaults = SourceLoadDefaultsFromSettings(settings);
        if (o->mode)
            defaults.mode = *o->mode == "fast"    ? SplitMode::Fast
                            : *o->mode == "frame" ? SplitMode::Frame
                                                  : SplitMode::Auto;
        defaults.pregaps = o->pregaps == "previous"   ? PregapMode::Previous
                           : o->pregaps == "separate" ? PregapMode::Separate
                                                      : PregapMode::Skip;

        CliHostOptions hostOptions;
        hostOptions.existing = o->overwrite      ? CliHostOptions::Existing::Overwrite
                               : o->skipExisting ? CliHostOptions::Existing::Skip
                                                 : CliHostOptions::Existing::Ask;
        hostOptions.interactive = context.stderrIsTerminal && ::isatty(STDIN_FILENO) != 0;
        hostOptions.progressBar = context.stderrIsTerminal;
        hostOptions.quiet = o->quiet;
        hostOptions.outputFolder = o->outputFolder;
        CliJobHost host(*context.err, std::cin, hostOptions);

        // The group is made here, so no tips about groups are shown.
        SplitList list;
        list.AddGroup(o->group ? *o->group : CurrentStrings().Get(Msg::DefaultSplitGroup));
        list.TakeFirstGroupCreated();
        FileSourceProbe probe(defaults.codePage);
        int loadFailures = 0;
        for (const std::string& path : o->sources) {
            RowId source = kNoRow;
            TrackSourceResult added =
                AddTrackSource(list, defaults, host, probe, path, *plan, source);
            if (added == TrackSourceResult::Stopped)
                return kExitStopped;
            if (added == TrackSourceResult::Failed) {
                ++loadFailures;
                continue;
            }
            for (const auto& [column, text] : o->tags) {
                if (text)
                    SetSourceColumn(list, source, column, *text);
            }
            // No audio is left out without a word: the unchecked tracks (a sheet's pregaps or
            // its unselected tracks) are named.
            const auto& tracks = list.Children(source);
            for (std::size_t i = 0; i < tracks.size(); ++i) {
                const SplitRow& row = list.Row(tracks[i]);
                if (!row.checked) {
                    host.ShowMessage(MessageKind::Warning,
                                     {Msg::TrackLeftOut, path, static_cast<int>(i + 1),
                                      FormatTime(row.times.start, kTimeList),
                                      FormatTime(row.times.end, kTimeList)});
                }
            }
            for (std::uint64_t ms : points) {
                if (list.InsertSplitPoint(source, ms) < 0 && ms != 0) {
                    host.ShowMessage(
                        MessageKind::Warning,
                        UserMessage::Plain(path + ": " + std::to_string(ms) +
                                           " ms is not before the end; no split there"));
                }
            }
        }
        // Every source refused: no job, whose report would only count nothing written.
        if (std::none_of(list.Groups().begin(), list.Groups().end(),
                         [&list](RowId group) { return !list.Children(group).empty(); }))
            return kExitFailed;

        if (!o->dryRun && !o->sameFolder) {
            std::error_code ec;
            fs::create_directories(o->outputFolder, ec);
        }

        ReportWriter report(*context.out, o->json, &host);
        SplitJobOptions jobOptions = JobOptions(settings, *o);
        jobOptions.writeCueSheet = CueExporter(host);
        jobOptions.onTrack = [&](const SplitTrackReport& r) {
            nlohmann::json item{{"source", r.sourcePath},    {"output", r.outPath},
                                {"track", r.trackIndex + 1}, {"startMs", r.times.start},
                                {"endMs", r.times.end},      {"state", StateName(r.state)}};
            std::ostringstream text;
            if (r.state == SplitTrackReport::State::Planned) {
                text << r.outPath << "\t" << r.times.start << "\t" << r.times.end;
            } else if (!o->quiet || r.state != SplitTrackReport::State::Written) {
                // A source that could not be read has no output names: the source stands there.
                text << StateName(r.state) << "\t"
                     << (r.outPath.empty() ? r.sourcePath : r.outPath);
                if (!r.reason.empty())
                    text << "\t" << r.reason;
            }
            if (!r.reason.empty())
                item["reason"] = r.reason;
            if (r.bytes) {
                item["byteStart"] = r.bytes->begin;
                item["byteEnd"] = r.bytes->end;
                if (r.state == SplitTrackReport::State::Planned)
                    text << "\t" << r.bytes->begin << "-" << r.bytes->end;
                // A track that begins on a frame whose reservoir lies in the track before it
                // decodes its first frame wrong (sample-accurate tracks carry it).
                if (r.state == SplitTrackReport::State::Planned && !o->sampleAccurate) {
                    if (int borrowed = FrameBorrowsAt(r.sourcePath, r.bytes->begin)) {
                        item["firstFrameBorrows"] = borrowed;
                        text << "\tfirst frame needs " << borrowed
                             << " bytes of the audio before it";
                    }
                }
            }
            report.Add(item, text.str());
        };
        FileTrackCutter cutter;
        SplitJob job(list, host, cutter, jobOptions);
        SplitJobResult result = job.StartSplit();
        report.Finish();

        if (result.stopped)
            return kExitStopped;
        if (result.status != SplitJobStatus::Finished || result.failed > 0 || loadFailures > 0 ||
            host.UnansweredSkips() > 0)
            return kExitFailed;
        return kExitOk;
    };
}

}  // namespace partita::cli
