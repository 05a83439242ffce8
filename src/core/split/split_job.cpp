#include "split/split_job.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/output_file.h"
#include "app/user_message.h"
#include "split/naming_rule.h"

namespace partita {
namespace fs = std::filesystem;

namespace {

std::string FileNameOf(const std::string& path) {
    auto cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool CanOpenForReading(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    return in.is_open();
}

// The tracks a split of the list cuts: the checked tracks of checked sources of checked groups.
int CheckedTrackCount(const SplitList& list) {
    int count = 0;
    for (RowId group : list.Groups()) {
        if (!list.Row(group).checked)
            continue;
        for (RowId source : list.Children(group)) {
            if (!list.Row(source).checked)
                continue;
            for (RowId track : list.Children(source))
                count += list.Row(track).checked ? 1 : 0;
        }
    }
    return count;
}

// Makes the last level of `folder`; returns 0 or why it could not (an errno value).
int MakeFolderLevel(const std::string& folder) {
    std::error_code ec;
    fs::path path(folder);
    if (!path.has_filename())
        path = path.parent_path();
    fs::create_directory(path, ec);
    if (ec)
        return ec.value();
    return fs::is_directory(path, ec) ? 0 : ENOTDIR;
}

}  // namespace

// The state of one source while its tracks are cut.
struct SplitJob::SourceRun {
    RowId source = kNoRow;
    std::string sourcePath;
    std::string namePart;
    std::string folder;
    std::string sequenceFormat;
    int trackCount = 0;
    bool countGenerated = false;
    int counter = 0;  // the sequence counter c
    std::unique_ptr<PreparedSource> prepared;
    std::uint64_t durationMs = 0;
    SplitFileResult result = SplitFileResult::Done;
};

SplitJob::SplitJob(const SplitList& list, JobHost& host, TrackCutter& cutter,
                   SplitJobOptions options)
    : list_(list), host_(host), cutter_(cutter), options_(std::move(options)) {}

void SplitJob::Report(const SplitTrackReport& report) {
    ++reported_;
    switch (report.state) {
        case SplitTrackReport::State::Written:
            ++result_.written;
            break;
        case SplitTrackReport::State::Skipped:
            ++result_.skipped;
            break;
        case SplitTrackReport::State::Planned:
            break;
        default:
            ++result_.failed;
            break;
    }
    if (options_.onTrack)
        options_.onTrack(report);
}

SplitJobResult SplitJob::StartSplit() {
    result_ = {};
    reported_ = 0;
    if (list_.Empty()) {
        result_.status = SplitJobStatus::NothingToSplit;
        return result_;
    }
    if (options_.namingRule.empty()) {
        host_.ShowMessage(MessageKind::Warning, Msg::NamingRuleEmpty);
        result_.status = SplitJobStatus::NoNamingRule;
        return result_;
    }

    std::string outputFolder = options_.outputFolder;
    if (!options_.sameFolder && (outputFolder.empty() || options_.confirmOutputFolder)) {
        if (outputFolder.empty())
            outputFolder = options_.lastOutputFolder;
        std::optional<std::string> chosen =
            host_.ChooseFolder(Msg::ChooseSplitOutputFolder, outputFolder);
        if (!chosen) {
            result_.status = SplitJobStatus::Cancelled;
            return result_;
        }
        outputFolder = *chosen;
    }
    result_.outputFolder = outputFolder;

    const int selectedTracks = CheckedTrackCount(list_);
    bool stopAll = false;
    for (RowId group : list_.Groups()) {
        if (stopAll)
            break;
        if (!list_.Row(group).checked)
            continue;
        bool overwriteAll = false;
        // A group name is one folder level however it is spelt.
        std::string groupName = list_.Row(group).name;
        for (char& c : groupName) {
            if (c == '/' || c == '\\')
                c = '_';
        }
        std::string rule = options_.namingRule;
        ReplaceAll(rule, "%G", groupName);
        for (RowId source : list_.Children(group)) {
            const SplitRow& row = list_.Row(source);
            if (!row.checked)
                continue;
            std::string baseFolder = options_.sameFolder ? row.folder : outputFolder;
            if (SplitFile(source, baseFolder, rule, row.mode, overwriteAll) ==
                SplitFileResult::StopAll) {
                stopAll = true;
                break;
            }
        }
    }
    result_.notDone = std::max(0, selectedTracks - reported_);
    if (!options_.dryRun)
        PostActions(outputFolder, options_.sameFolder);
    host_.SetProgress(0, 0);
    host_.SetStatus(Message(Msg::SplitIdle));
    return result_;
}

void SplitJob::PostActions(const std::string& outputFolder, bool sameFolder) {
    const bool complete = result_.WroteEveryTrack();
    bool open = options_.openFolder;
    bool startNew = false;
    // A split that did not write every track always says so; a full success shows the success
    // box as the options say.
    if (options_.showSuccess || !complete) {
        CompletionReport report;
        if (complete) {
            report.message = sameFolder ? UserMessage(Msg::SplitDoneBesideSources)
                                        : UserMessage(Msg::SplitDoneInFolder, outputFolder);
        } else {
            report.message = UserMessage(Msg::SplitIncomplete, result_.written, result_.failed,
                                         result_.skipped, result_.notDone);
            if (!result_.unreadableSources.empty()) {
                std::string sources;
                for (const std::string& path : result_.unreadableSources)
                    sources += "\r\n" + path;
                report.message.WithDetail(Message(Msg::SourcesNotRead, sources));
            }
        }
        report.outputPath = outputFolder;
        report.openFolderPreset = open;
        report.startNewPreset = options_.startNewSplit;
        report.success = complete;
        report.written = result_.written;
        report.failed = result_.failed;
        report.skipped = result_.skipped;
        report.notDone = result_.notDone;
        report.unreadableSources = result_.unreadableSources;
        CompletionReply reply = host_.ShowCompletion(report);
        result_.completion = reply;
        open = sameFolder ? false : (open || reply.openFolder);
        startNew = reply.startNew;
    } else if (sameFolder) {
        open = false;
    }
    if (open)
        host_.OpenFolder(outputFolder);
    // The list holds the user's points: it is cleared only after they all became files.
    result_.startNew = complete && (startNew || options_.startNewSplit);
}

bool SplitJob::GoOnAfterStopRequest(SourceRun& run) {
    switch (host_.AskStop(FileNameOf(run.sourcePath))) {
        case StopAnswer::StopSource:
            run.result = SplitFileResult::SourceStopped;
            result_.stopped = true;
            return false;
        case StopAnswer::StopAll:
            run.result = SplitFileResult::StopAll;
            result_.stopped = true;
            return false;
        case StopAnswer::Continue:
            break;
    }
    return true;
}

SplitFileResult SplitJob::SplitFile(RowId source, const std::string& baseFolder, std::string rule,
                                    SplitMode mode, bool& overwriteAll) {
    SourceRun run;
    run.source = source;
    run.sourcePath = list_.Contains(source) ? list_.SourcePath(source) : std::string();
    if (run.sourcePath.empty())
        return SplitFileResult::NothingToDo;

    run.trackCount = list_.TrackCount(source);
    ReplaceAll(rule, "%N", std::to_string(run.trackCount));
    run.sequenceFormat = SequenceFormat(run.trackCount);

    RuleParts parts = SplitRule(rule);
    run.namePart = parts.namePart;
    run.folder = baseFolder;
    if (!parts.folderPart.empty()) {
        std::string levels =
            ExpandName(list_.Row(source).tags, parts.folderPart, run.sourcePath, -1, true);
        if (!levels.empty()) {
            run.folder = CombinePath(baseFolder, levels);
            int error = options_.dryRun ? 0 : MakeFolderLevel(run.folder);
            if (error != 0) {
                host_.ShowMessage(
                    MessageKind::Warning,
                    UserMessage(Msg::CannotCreateFolder, run.folder).WithReason(error));
                ++result_.failed;
                return SplitFileResult::StopAll;
            }
        }
    }

    run.countGenerated = options_.countGenerated;
    // Building a frame index takes a while on a long file: it shows as progress with the
    // loading text, and a stop request is asked about at once.
    bool building = false;
    run.prepared = cutter_.Prepare(run.sourcePath, mode, options_.cut, [&](int percent) {
        if (!building) {
            building = true;
            host_.SetStatus(Message(Msg::LoadingFramesTip));
        }
        host_.SetProgress(static_cast<std::uint64_t>(percent), 100);
        return !host_.TakeStopRequest() || GoOnAfterStopRequest(run);
    });
    host_.SetProgress(0, static_cast<std::uint64_t>(run.trackCount));
    run.durationMs = run.prepared ? run.prepared->DurationMs() : 0;

    // A source stopped while it was prepared leaves its tracks undone.
    if (run.result == SplitFileResult::Done && run.prepared && run.prepared->Readable()) {
        const auto& tracks = list_.Children(source);
        for (int index = 0; index < static_cast<int>(tracks.size()); ++index) {
            if (SplitTrack(run, tracks[index], index, overwriteAll) == TrackStep::LeaveSource)
                break;
        }
    } else if (run.result == SplitFileResult::Done) {
        // A source that cannot be read is passed over; its selected tracks are reported.
        result_.unreadableSources.push_back(run.sourcePath);
        const std::string reason =
            UserMessage().WithReason(ReadErrorOf(run.sourcePath)).ReasonText();
        for (RowId track : list_.Children(source)) {
            if (!list_.Row(track).checked)
                continue;
            SplitTrackReport report;
            report.state = SplitTrackReport::State::NotCut;
            report.sourcePath = run.sourcePath;
            report.trackIndex = list_.TrackIndex(track);
            report.trackCount = run.trackCount;
            report.times = list_.GetTrackTimes(track, false);
            report.reason = reason;
            Report(report);
        }
    }
    if (run.result == SplitFileResult::Done && !options_.dryRun && options_.exportCue &&
        options_.writeCueSheet) {
        std::string name = FileNameOf(run.sourcePath);
        PreparedSource* prepared = run.prepared.get();
        const std::uint64_t duration = run.durationMs;
        CutPosition cutAt = [prepared, duration](std::uint64_t ms) -> std::optional<std::uint64_t> {
            if (!prepared || ms >= duration)
                return std::nullopt;
            auto range = prepared->Plan(ms, duration);
            return range ? std::optional(range->begin) : std::nullopt;
        };
        options_.writeCueSheet(list_, source,
                               CombinePath(run.folder, name.substr(0, name.rfind('.')) + ".cue"),
                               cutAt);
    }
    run.prepared.reset();

    if (run.result == SplitFileResult::SourceStopped) {
        host_.SetProgress(0, static_cast<std::uint64_t>(run.trackCount));
        host_.SetStatus(Message(Msg::SplitAborted));
    } else {
        host_.SetProgress(static_cast<std::uint64_t>(run.trackCount),
                          static_cast<std::uint64_t>(run.trackCount));
        host_.SetStatus(Message(Msg::SplitCompleted));
    }
    return run.result;
}

bool SplitJob::RefuseOwnSource(SourceRun& run, SplitTrackReport& report) {
    // Writing over the file being read would destroy it; the same file under another spelling
    // (a link, a relative path) counts too.
    if (!IsSameFile(report.outPath, run.sourcePath))
        return false;
    host_.ShowMessage(MessageKind::Error, {Msg::OutputIsSource, report.outPath});
    report.state = SplitTrackReport::State::SameAsSource;
    Report(report);
    return true;
}

SplitJob::TrackStep SplitJob::SplitTrack(SourceRun& run, RowId track, int index,
                                         bool& overwriteAll) {
    host_.SetProgress(static_cast<std::uint64_t>(index),
                      static_cast<std::uint64_t>(run.trackCount));
    if (host_.TakeStopRequest() && !GoOnAfterStopRequest(run))
        return TrackStep::LeaveSource;

    const SplitRow& info = list_.Row(track);
    std::string name =
        ExpandName(info.tags, run.namePart, run.sourcePath, run.counter, false, run.sequenceFormat);
    host_.SetStatus(
        Message(Msg::SplittingTrack, FileNameOf(run.sourcePath), index + 1, run.trackCount, name));

    SplitTrackReport report;
    report.sourcePath = run.sourcePath;
    report.outPath = CombinePath(run.folder, name);
    report.trackIndex = index;
    report.trackCount = run.trackCount;
    report.times = list_.GetTrackTimes(track, true, run.durationMs);
    // A track that reaches the end of its source as the list knows it takes the source to its
    // end as the engine measured it, so no tail is lost where the two differ.
    if (report.times.end >= list_.SourceDuration(run.source))
        report.times.end = run.durationMs;
    report.times.start = std::min(report.times.start, run.durationMs);
    report.times.end = std::min(report.times.end, run.durationMs);

    if (!run.countGenerated || info.checked)
        ++run.counter;
    if (!info.checked)
        return TrackStep::Next;

    // The tags count by the track's position, whatever the file names count.
    report.tags.title = ExpandField(info.tags, index, kColTitle);
    report.tags.artist = ExpandField(info.tags, index, kColArtist);
    report.tags.album = ExpandField(info.tags, index, kColAlbum);
    report.tags.year = info.tags.year;
    report.tags.comment = ExpandField(info.tags, index, kColComment);
    report.tags.track = ExpandField(info.tags, index, kColTrackNumber);
    report.tags.genre = info.tags.genre;

    if (options_.dryRun) {
        report.state = SplitTrackReport::State::Planned;
        report.bytes = run.prepared->Plan(report.times.start, report.times.end);
        Report(report);
        return TrackStep::Next;
    }

    if (RefuseOwnSource(run, report))
        return TrackStep::Next;

    // Without leave to replace, a file that appears under the name while the cut runs is kept.
    ExistingOutput existing =
        options_.confirmOverwrite && !overwriteAll ? ExistingOutput::Keep : ExistingOutput::Replace;
    if (existing == ExistingOutput::Keep && CanOpenForReading(report.outPath)) {
        OverwriteReply reply = host_.AskOverwrite(report.outPath);
        // The tick takes effect at once; the host stores it.
        options_.confirmOverwrite = !reply.dontAskAgain;
        result_.confirmOverwrite = options_.confirmOverwrite;
        existing = ExistingOutput::Replace;
        switch (reply.answer) {
            case OverwriteAnswer::Yes:
                break;
            case OverwriteAnswer::YesToAll:
                overwriteAll = true;
                break;
            case OverwriteAnswer::Skip:
                report.state = SplitTrackReport::State::Skipped;
                Report(report);
                return TrackStep::Next;
            case OverwriteAnswer::OtherName:
                report.outPath = reply.otherPath;
                host_.SetStatus(Message(Msg::SplittingTrack, FileNameOf(run.sourcePath), index + 1,
                                        run.trackCount, FileNameOf(report.outPath)));
                if (RefuseOwnSource(run, report))
                    return TrackStep::Next;
                break;
        }
    }

    for (;;) {
        ByteRange copied;
        TakeFileError();
        CutOutcome outcome = run.prepared->Cut(report.outPath, report.times.start, report.times.end,
                                               report.tags, existing, &copied);
        if (outcome == CutOutcome::NotCut || outcome == CutOutcome::Kept) {
            report.state = outcome == CutOutcome::Kept ? SplitTrackReport::State::Skipped
                                                       : SplitTrackReport::State::NotCut;
            const audio::AudioType type = run.prepared->AudioType();
            if (outcome == CutOutcome::NotCut && type != audio::AudioType::Mpeg &&
                type != audio::AudioType::Wav)
                report.reason = Message(Msg::ReasonNotCuttable);
            Report(report);
            return TrackStep::Next;
        }
        if (outcome == CutOutcome::Written) {
            if (!run.prepared->WriteTags(report.outPath, report.tags))
                host_.ShowMessage(MessageKind::Warning, Msg::TagsNotWritten);
            report.state = SplitTrackReport::State::Written;
            report.bytes = copied;
            Report(report);
            return TrackStep::Next;
        }
        // Why: what the output's writer noted, else what keeps the source from being read.
        FileError error = TakeFileError();
        if (error.code == 0)
            error = {ReadErrorOf(run.sourcePath), run.sourcePath};
        UserMessage failure = UserMessage(Msg::CannotCreateTrack, report.outPath).WithReason(error);
        report.reason = failure.ReasonText();
        FailureAnswer answer = host_.AskFailure(failure);
        if (answer == FailureAnswer::Retry)
            continue;
        report.state = SplitTrackReport::State::Failed;
        Report(report);
        if (answer == FailureAnswer::Abort) {
            run.result = SplitFileResult::SourceStopped;
            result_.stopped = true;
            return TrackStep::LeaveSource;
        }
        return TrackStep::Next;
    }
}

}  // namespace partita
