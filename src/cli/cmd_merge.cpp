#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/time_text.h"
#include "cli_context.h"
#include "cli_job_host.h"
#include "cli_time.h"
#include "commands.h"
#include "join/audio_file_inspector.h"
#include "join/merge_job.h"
#include "join/merge_list_file.h"
#include "join/merge_settings.h"
#include "join/standard_merge_engines.h"
#include "report_writer.h"

namespace partita::cli {
namespace fs = std::filesystem;
namespace {

// The command line's host, except that a source that cannot be read ends the merge: nobody is
// there to answer retry or ignore.
class MergeHost : public CliJobHost {
  public:
    using CliJobHost::CliJobHost;
    FailureAnswer AskFailure(const UserMessage& message) override {
        ShowMessage(MessageKind::Error, message);
        sourceFailed_ = true;
        return FailureAnswer::Abort;
    }
    bool SourceFailed() const { return sourceFailed_; }

  private:
    bool sourceFailed_ = false;
};

struct MergeOptions {
    std::vector<std::string> files;
    std::string output;
    std::string mode = "auto";
    int rate = 0;
    int channels = 0;
    bool noGapless = false;
    std::optional<int> silence;
    std::string start, end;
    std::string list, saveList;
    std::optional<std::string> title, artist, album, year, comment, track, genre;
    bool noId3v1 = false, noId3v2 = false;
    bool overwrite = false;
    bool quiet = false;
    bool chapters = false;
};

// Whether a name says another audio format than the MP3 data a merge writes.
bool IsOtherAudioName(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* other :
         {".wav", ".ogg", ".wma", ".asf", ".aif", ".aiff", ".flac", ".m4a", ".aac", ".opus"}) {
        if (extension == other)
            return true;
    }
    return false;
}

int RunMerge(const MergeOptions& o, Context& context) {
    std::ostream& err = *context.err;
    if (o.files.empty() && o.list.empty()) {
        err << "merge: name the files to join, or a list with --list\n";
        return kExitUsage;
    }
    if (o.output.empty() && o.saveList.empty()) {
        err << "merge: name the output with -o (or save the list with --save-list)\n";
        return kExitUsage;
    }
    if (IsOtherAudioName(o.output)) {
        err << "merge: -o " << o.output
            << ": the output is MP3 data; give it a name ending in .mp3\n";
        return kExitUsage;
    }
    std::optional<std::uint64_t> start = std::uint64_t{0}, end;
    if (!o.start.empty() && !(start = ParseCommandLineTime(o.start))) {
        err << "merge: --start: not a time: " << o.start << "\n";
        return kExitUsage;
    }
    if (!o.end.empty()) {
        end = ParseCommandLineTime(o.end);
        if (!end || *end <= *start) {
            err << "merge: --end: not a time after the start: " << o.end << "\n";
            return kExitUsage;
        }
    }

    // New rows get only the silence and range of the flags; nothing of this run is stored.
    MergeListDefaults defaults = ReadMergeListDefaults(context.Settings());
    defaults.applySilence = false;
    defaults.applyPartial = false;

    CliHostOptions hostOptions;
    hostOptions.existing =
        o.overwrite ? CliHostOptions::Existing::Overwrite : CliHostOptions::Existing::Ask;
    hostOptions.interactive = context.stderrIsTerminal && ::isatty(STDIN_FILENO) != 0;
    // A stop (Ctrl+C) needs no confirmation when nobody can be asked.
    hostOptions.assumeYes = true;
    hostOptions.progressBar = context.stderrIsTerminal;
    hostOptions.quiet = o.quiet;
    MergeHost host(err, std::cin, hostOptions);
    AudioFileInspector inspector(defaults.legacyCodePage);
    MergeList list;

    // The list file's entries first, with their own ranges and silences; then the files named.
    if (!o.list.empty()) {
        MergeListLoad load;
        Status status = LoadMergeList(list, o.list, inspector, defaults, &load);
        if (!status.ok()) {
            host.ShowMessage(MessageKind::Error, status.message);
            return kExitFailed;
        }
        bool failed = false, badRange = false;
        for (const MergeAddOutcome& m : load.messages) {
            // A range outside its file is refused as the same range given by --start and --end.
            bool range = m.message->Is(Msg::RangeOutsideFile);
            host.ShowMessage(m.added && !range ? MessageKind::Warning : MessageKind::Error,
                             *m.message);
            failed = failed || !m.added;
            badRange = badRange || range;
        }
        if (failed)
            return kExitFailed;
        if (badRange)
            return kExitUsage;
    }
    for (const std::string& file : o.files) {
        std::size_t row = list.Size();
        MergeAddOutcome added = list.AddFile(file, row, inspector, defaults);
        if (added.message)
            host.ShowMessage(added.added ? MessageKind::Warning : MessageKind::Error,
                             *added.message);
        if (!added.added)
            return kExitFailed;
        if (o.silence)
            list.SetSilence(row, std::max(0, *o.silence));
        const std::uint64_t length = list.Row(row).lengthMs;
        if (*start > 0 && *start >= length) {
            host.ShowMessage(MessageKind::Error,
                             {Msg::RangeOutsideFile, file, FormatTime(*start, kTimeHourMinSec),
                              FormatTime(end ? *end : length, kTimeHourMinSec),
                              FormatTime(length, kTimeHourMinSec)});
            return kExitUsage;
        }
        if (start > 0 || end)
            list.SetRange(row, *start, end ? *end : length);
    }

    if (!o.saveList.empty()) {
        Status saved = SaveMergeList(list, o.saveList, [&](const UserMessage& question) {
            return o.overwrite || (hostOptions.interactive && host.AskYesNo(question));
        });
        if (!saved.ok()) {
            host.ShowMessage(MessageKind::Error, saved.message);
            return kExitFailed;
        }
        if (o.output.empty())
            return kExitOk;
    }

    // The stored choices, with the flags in place of the mode, the format and the tag texts, and
    // the command line's answers for the boxes: always ask before replacing an output and warn
    // about differing files; no completion box, folder, player or new merge afterwards.
    MergeJobOptions options = ReadMergeJobOptions(context.Settings());
    options.mode = o.mode == "direct"    ? MergeMode::Direct
                   : o.mode == "convert" ? MergeMode::Convert
                                         : MergeMode::Auto;
    options.outputSampleRate = o.rate;
    options.outputChannels = o.channels;
    options.gapless = !o.noGapless && options.gapless;
    options.confirmOverwrite = true;
    options.warnMixedParameters = true;
    options.showCompletion = false;
    options.openFolder = false;
    options.playResult = false;
    options.startNew = false;
    TagInfo& tags = options.tags;
    for (auto [given, text] :
         {std::pair{&o.title, &tags.title}, std::pair{&o.artist, &tags.artist},
          std::pair{&o.album, &tags.album}, std::pair{&o.year, &tags.year},
          std::pair{&o.comment, &tags.comment}, std::pair{&o.track, &tags.track},
          std::pair{&o.genre, &tags.genre}}) {
        if (*given)
            *text = **given;
    }
    if (o.noId3v1)
        tags.writeId3v1 = false;
    if (o.noId3v2)
        tags.writeId3v2 = false;
    options.writeChapters = o.chapters || options.writeChapters;
    std::error_code ec;
    options.outputPath = fs::absolute(o.output, ec).lexically_normal().string();

    StandardMergeEngines engines(options.installFolder, options.legacyCodePage);
    MergeJob job(list, options, host, engines);
    MergeJobOutcome outcome = job.Run();
    switch (outcome.end) {
        case MergeJobEnd::Done: {
            if (!o.quiet) {
                ReportWriter report(*context.out, false, &host);
                std::string how = outcome.mode == MergeMode::Direct
                                      ? "direct merge"
                                      : "convert merge, " + std::to_string(outcome.sampleRate) +
                                            " Hz, " + (outcome.channels == 1 ? "mono" : "stereo");
                report.Add({{"output", outcome.outputPath}}, outcome.outputPath + ": " +
                                                                 std::to_string(list.Size()) +
                                                                 " files joined (" + how + ")\n");
            }
            return kExitOk;
        }
        case MergeJobEnd::Stopped:
            return host.SourceFailed() ? kExitFailed : kExitStopped;
        case MergeJobEnd::EmptyList:
            return kExitUsage;
        default:
            return kExitFailed;
    }
}

}  // namespace

CommandRunner AddMergeCommand(CLI::App& app, Context& context) {
    auto o = std::make_shared<MergeOptions>();
    CLI::App* command = app.add_subcommand(
        "merge",
        "Join audio files into one MP3: frame by frame when they are MPEG files of one format, "
        "else through the lame encoder");
    command->add_option("FILE", o->files, "Audio files, in order (after the entries of --list)");
    command->add_option("-o,--output", o->output, "The MP3 file to write")->type_name("OUT");
    command->add_option("--mode", o->mode, "auto (the default), direct or convert")
        ->check(CLI::IsMember({"auto", "direct", "convert"}));
    command->add_option("--rate", o->rate, "Sample rate of a convert merge (default: the highest)")
        ->check(CLI::IsMember({8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}))
        ->type_name("HZ");
    command
        ->add_option("--channels", o->channels,
                     "Channels of a convert merge (default: mono when every file is mono)")
        ->check(CLI::IsMember({1, 2}));
    command->add_flag("--no-gapless", o->noGapless,
                      "Keep the joins of a convert merge as they are");
    command->add_option("--silence", o->silence, "Seconds of silence after every FILE")
        ->type_name("SECONDS")
        ->check(CLI::Range(0, kMaxSilenceSeconds));
    command->add_option("--start", o->start, "Join every FILE from this time (whole seconds)")
        ->type_name("T");
    command->add_option("--end", o->end, "Join every FILE up to this time (whole seconds)")
        ->type_name("T");
    command
        ->add_option("--list", o->list,
                     "A merge list (M3U or PLS) whose entries come first, with their own "
                     "ranges and silences")
        ->type_name("LIST");
    command
        ->add_option("--save-list", o->saveList,
                     "Save the list as M3U (and join nothing unless -o is given); an existing "
                     "file is replaced only with --overwrite or when you answer yes")
        ->type_name("LIST.m3u");
    command->add_option("--title", o->title, "Title of the output's tags");
    command->add_option("--artist", o->artist, "Artist of the output's tags");
    command->add_option("--album", o->album, "Album of the output's tags");
    command->add_option("--year", o->year, "Year of the output's tags");
    command->add_option("--comment", o->comment, "Comment of the output's tags");
    command->add_option("--track", o->track, "Track number of the output's tags")->type_name("K");
    command->add_option("--genre", o->genre, "Genre (its name) of the output's tags")
        ->type_name("G");
    command->add_flag("--no-id3v1", o->noId3v1, "Write no ID3v1 tag");
    command->add_flag("--no-id3v2", o->noId3v2, "Write no ID3v2 tag");
    command->add_flag("--overwrite", o->overwrite, "Replace an existing output (and list)");
    command->add_flag("--chapters", o->chapters,
                      "Mark each file as a chapter of the output's ID3v2 tag, titled by its "
                      "title tag (else its file name)");
    command->add_flag("-q,--quiet", o->quiet, "Print errors and warnings only");
    return [o, &context]() { return RunMerge(*o, context); };
}

}  // namespace partita::cli
