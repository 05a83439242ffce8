#include "join/merge_job.h"

#include <cstdlib>
#include <filesystem>

#include "app/output_file.h"
#include "app/setting_values.h"
#include "app/user_message.h"

namespace partita {
namespace fs = std::filesystem;

MergeRequest MergeRequest::FromSettings(SettingsStore& settings) {
    MergeRequest request;
    int mode = settings::MergeMode.Read(settings);
    request.mode =
        mode == 0 ? MergeMode::Auto : (mode == 2 ? MergeMode::Convert : MergeMode::Direct);
    request.outputSampleRate = settings::OutputSamplerate.Read(settings);
    request.outputChannels = settings::OutputChannel.Read(settings);
    request.gapless = settings::GaplessMerge.Read(settings) != 0;
    TagInfo& tags = request.tags;
    tags.writeId3v1 = settings::WriteId3v1Tag.Read(settings) != 0;
    tags.writeId3v2 = settings::WriteId3v2Tag.Read(settings) != 0;
    if (settings::JoinSaveId3Tag.Read(settings) != 0) {
        tags.title = settings::JoinTagTitle.Read(settings);
        tags.artist = settings::JoinTagArtist.Read(settings);
        tags.album = settings::JoinTagAlbum.Read(settings);
        tags.year = settings::JoinTagYear.Read(settings);
        tags.comment = settings::JoinTagComment.Read(settings, kDefaultMergeComment);
        tags.track = settings::JoinTagTrack.Read(settings);
        tags.genre = settings::JoinTagGenre.Read(settings);
    } else {
        tags.comment = kDefaultMergeComment;
    }
    return request;
}

MergeSurvey SurveyMergeList(const MergeList& list,
                            const std::function<audio::AudioType(const std::string&)>& audioType) {
    MergeSurvey survey;
    const std::string* constantBitrate = nullptr;
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const MergeRow& row = list.Row(i);
        const MergeRow& first = list.Row(0);
        bool mono = row[kMergeChannels] == kMonoName;
        if (audioType(row.Path()) != audio::AudioType::Mpeg)
            survey.allMpeg = false;
        survey.allMono = survey.allMono && mono;
        survey.highestSampleRate =
            std::max(survey.highestSampleRate, std::atoi(row[kMergeSampleRate].c_str()));
        if (row[kMergeSampleRate] != first[kMergeSampleRate] ||
            mono != (first[kMergeChannels] == kMonoName))
            survey.sameParameters = false;
        // Every pair of constant bitrates must match; a VBR file matches any.
        if (row[kMergeBitrate].find("VBR") == std::string::npos) {
            if (constantBitrate && *constantBitrate != row[kMergeBitrate])
                survey.sameParameters = false;
            constantBitrate = &row[kMergeBitrate];
        }
    }
    if (!survey.allMpeg)
        survey.sameParameters = false;
    return survey;
}

MergeJobOutcome MergeJob::Run(MergeRequest& request) {
    MergeJobOutcome outcome;
    if (list_.Empty()) {
        host_.ShowMessage(MessageKind::Warning, Msg::AddFilesToMergeFirst);
        outcome.end = MergeJobEnd::EmptyList;
        return outcome;
    }
    if (!ResolveMode(request, outcome))
        return outcome;
    if (!ChooseOutput(request, outcome.outputPath)) {
        outcome.end = MergeJobEnd::Cancelled;
        return outcome;
    }

    switch (Merge(request, outcome)) {
        case MergeResult::Done:
            outcome.end = MergeJobEnd::Done;
            AfterSuccess(request, outcome);
            break;
        case MergeResult::Failed:
            outcome.end = MergeJobEnd::Failed;
            break;
        case MergeResult::Stopped:
            outcome.end = MergeJobEnd::Stopped;
            break;
    }
    host_.SetProgress(0, 0);
    host_.SetStatus(Message(Msg::MergeIdle));
    return outcome;
}

bool MergeJob::ResolveMode(const MergeRequest& request, MergeJobOutcome& outcome) {
    MergeSurvey survey = SurveyMergeList(
        list_, [this](const std::string& path) { return engines_.AudioType(path); });
    MergeMode mode = request.mode;
    if (mode == MergeMode::Auto) {
        mode = survey.allMpeg && survey.sameParameters ? MergeMode::Direct : MergeMode::Convert;
    } else if (mode == MergeMode::Direct) {
        if (!survey.allMpeg) {
            host_.ShowMessage(MessageKind::Warning, Msg::DirectMergeFormatsDiffer);
            outcome.end = MergeJobEnd::Cancelled;
            return false;
        }
        if (!survey.sameParameters && settings::MergeDiffParamsDialog.Read(settings_) != 0 &&
            !host_.ShowInfoWithToggle(Msg::MergeParametersDiffer,
                                      std::string(settings::MergeDiffParamsDialog.name), true)) {
            outcome.end = MergeJobEnd::ChangeMode;
            return false;
        }
    }
    outcome.mode = mode;
    if (mode == MergeMode::Convert) {
        outcome.channels =
            request.outputChannels >= 1 ? request.outputChannels : (survey.allMono ? 1 : 2);
        outcome.sampleRate =
            request.outputSampleRate >= 1 ? request.outputSampleRate : survey.highestSampleRate;
        if (outcome.sampleRate <= 0)
            outcome.sampleRate = 44100;
    }
    return true;
}

bool MergeJob::ChooseOutput(MergeRequest& request, std::string& output) {
    output = request.outputPath;
    if (output.empty()) {
        std::string folder = settings::MergeDestinationFolder.Read(settings_);
        if (folder.empty())
            folder = settings::MergeTempOutputFolder.Read(settings_);
        std::optional<std::string> chosen = host_.ChooseSaveFile(
            Msg::MergeOutputTitle, folder, settings::MergeDestinationName.Read(settings_));
        if (!chosen || chosen->empty())
            return false;
        output = *chosen;
        settings::MergeDestinationName.Write(settings_, fs::path(output).filename().string());
        settings::MergeTempOutputFolder.Write(settings_, fs::path(output).parent_path().string());
    }
    for (;;) {
        // The same file under any name (relative, absolute, through a link) is refused, also
        // when the user names another output at the overwrite question.
        for (const MergeRow& row : list_.Rows()) {
            if (IsSameFile(row.Path(), output)) {
                host_.ShowMessage(MessageKind::Error, {Msg::OutputIsSource, output});
                return false;
            }
        }
        std::error_code ec;
        if (settings::JoinConfirmOverwrite.Read(settings_) == 0 || !fs::exists(output, ec))
            return true;
        OverwriteReply reply = host_.AskOverwrite(output);
        settings::JoinConfirmOverwrite.Write(settings_, reply.dontAskAgain ? 0 : 1);
        if (reply.answer == OverwriteAnswer::Yes || reply.answer == OverwriteAnswer::YesToAll)
            return true;
        if (reply.answer == OverwriteAnswer::OtherName && !reply.otherPath.empty()) {
            output = reply.otherPath;
            continue;
        }
        host_.SetProgress(0, 0);
        host_.SetStatus(Message(Msg::MergeAborted));
        return false;
    }
}

MergeResult MergeJob::Merge(MergeRequest& request, MergeJobOutcome& outcome) {
    const std::string& path = outcome.outputPath;
    // A name still free now was never confirmed for replacing: a file that appears under it
    // while the merge runs is kept unless the user then says otherwise.
    std::error_code ec;
    ExistingOutput existing =
        settings::JoinConfirmOverwrite.Read(settings_) != 0 && !fs::exists(path, ec)
            ? ExistingOutput::Keep
            : ExistingOutput::Replace;
    OutputFile out;
    if (!out.Open(path)) {
        host_.ShowMessage(MessageKind::Error, {Msg::CannotCreateFile, path});
        return MergeResult::Failed;
    }
    const std::string working = out.TempPath().string();
    std::vector<MergeSource> sources = MergeSourcesOf(list_);
    MergeResult result;
    if (outcome.mode == MergeMode::Convert) {
        ConvertOptions options;
        options.sampleRate = outcome.sampleRate;
        options.channels = outcome.channels;
        options.gapless = request.gapless;
        result = engines_.Convert(engines_.FindEncoder(), working, sources, options, host_);
        // The encoder writes no tag of ours: the ID3v2 tag goes in front of its file.
        if (result == MergeResult::Done && request.tags.writeId3v2) {
            host_.SetStatus(Message(Msg::SavingTags));
            if (engines_.WriteId3v2(working, request.tags))
                host_.SetStatus(Message(Msg::TagsSaved));
            else
                host_.ShowMessage(MessageKind::Error, Msg::TagsNotWritten);
        }
    } else {
        result = engines_.Direct(sources, out.Stream(), working, request.tags, host_);
        if (std::fflush(out.Stream()) != 0 && result == MergeResult::Done) {
            host_.ShowMessage(MessageKind::Error, {Msg::CannotWriteFile, path});
            result = MergeResult::Failed;
        }
    }
    if (result != MergeResult::Done) {
        out.Discard();
        host_.SetProgress(0, 0);
        return result;
    }
    if (request.tags.writeId3v1 && !engines_.WriteId3v1(working, request.tags))
        host_.ShowMessage(MessageKind::Error, Msg::TagsNotWritten);
    CommitResult committed = out.Commit(existing);
    if (committed == CommitResult::Kept) {
        OverwriteAnswer answer = host_.AskOverwrite(path).answer;
        if (answer != OverwriteAnswer::Yes && answer != OverwriteAnswer::YesToAll) {
            host_.SetStatus(Message(Msg::MergeAborted));
            return MergeResult::Stopped;
        }
        committed = out.Commit(ExistingOutput::Replace);
    }
    if (committed != CommitResult::Done) {
        host_.ShowMessage(MessageKind::Error, {Msg::CannotWriteFile, path});
        return MergeResult::Failed;
    }
    return MergeResult::Done;
}

void MergeJob::AfterSuccess(MergeRequest& request, MergeJobOutcome& outcome) {
    const std::string& path = outcome.outputPath;
    bool play = false;
    bool open = settings::JoinAutoOpenFolder.Read(settings_) != 0;
    if (settings::JoinShowSuccess.Read(settings_) != 0) {
        CompletionReport report;
        report.message = {Msg::MergeDone, path};
        report.outputPath = path;
        report.openFolderPreset = open;
        report.startNewPreset = settings::StartNewMerge.Read(settings_) != 0;
        CompletionReply reply = host_.ShowCompletion(report);
        settings::StartNewMerge.Write(settings_, reply.startNew ? 1 : 0);
        settings::JoinShowSuccess.Write(settings_, reply.dontShowAgain ? 0 : 1);
        open = open || reply.openFolder;
        play = reply.playResult;
    }
    if (open)
        host_.OpenFolder(fs::path(path).parent_path().string());
    if (play || settings::JoinPlayResult.Read(settings_) != 0)
        host_.PlayFile(path);
    if (settings::StartNewMerge.Read(settings_) != 0) {
        list_.Clear();
        host_.SetProgress(0, 0);
        TagInfo& tags = request.tags;
        tags.title.clear();
        tags.artist.clear();
        tags.album.clear();
        tags.year.clear();
        tags.comment.clear();
        tags.track.clear();
        tags.genre.clear();
        outcome.startNew = true;
    }
}

}  // namespace partita
