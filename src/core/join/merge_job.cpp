#include "join/merge_job.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "app/output_file.h"
#include "app/setting_values.h"
#include "app/user_message.h"
#include "join/join_chapters.h"
#include "tags/chapter_frames.h"

namespace partita {
namespace fs = std::filesystem;

MergeSurvey SurveyMergeList(const MergeList& list) {
    MergeSurvey survey;
    const MergeRow* constantBitrate = nullptr;
    for (const MergeRow& row : list.Rows()) {
        const MergeRow& first = list.Row(0);
        survey.allMpeg = survey.allMpeg && row.IsMpeg();
        survey.allMono = survey.allMono && row.IsMono();
        survey.highestSampleRate = std::max(survey.highestSampleRate, row.sampleRate);
        if (row.mpegVersion != first.mpegVersion || row.mpegLayer != first.mpegLayer)
            survey.sameFormat = false;
        if (row.sampleRate != first.sampleRate || row.IsMono() != first.IsMono())
            survey.sameParameters = false;
        // Every pair of constant bitrates must match; a VBR file matches any.
        if (!row.vbr) {
            if (constantBitrate && constantBitrate->Text(kMergeBitrate) != row.Text(kMergeBitrate))
                survey.sameParameters = false;
            constantBitrate = &row;
        }
    }
    if (!survey.allMpeg)
        survey.sameParameters = false;
    return survey;
}

std::vector<std::uint8_t> MergeChapterFrames(const MergeList& list,
                                             const std::vector<MergedPiece>& pieces) {
    std::vector<JoinChapterInput> inputs;
    for (const MergedPiece& piece : pieces) {
        if (piece.source >= list.Size())
            continue;
        const MergeRow& row = list.Row(piece.source);
        inputs.push_back({row.tags.title, row.fileName, piece.audioMs, 0, piece.silenceMs});
    }
    return MakeChapterFrames(JoinChapters(inputs));
}

MergeJobOutcome MergeJob::Run() {
    MergeJobOutcome outcome;
    if (list_.Empty()) {
        host_.ShowMessage(MessageKind::Warning, Msg::AddFilesToMergeFirst);
        outcome.end = MergeJobEnd::EmptyList;
        return outcome;
    }
    if (!ResolveMode(outcome))
        return outcome;
    if (!ChooseOutput(outcome)) {
        outcome.end = MergeJobEnd::Cancelled;
        return outcome;
    }

    switch (Merge(outcome)) {
        case MergeResult::Done:
            outcome.end = MergeJobEnd::Done;
            AfterSuccess(outcome);
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

bool MergeJob::ResolveMode(MergeJobOutcome& outcome) {
    MergeSurvey survey = SurveyMergeList(list_);
    MergeMode mode = options_.mode;
    if (mode == MergeMode::Auto) {
        mode = survey.allMpeg && survey.sameFormat && survey.sameParameters ? MergeMode::Direct
                                                                            : MergeMode::Convert;
    } else if (mode == MergeMode::Direct) {
        if (!survey.allMpeg || !survey.sameFormat) {
            host_.ShowMessage(MessageKind::Warning, Msg::DirectMergeFormatsDiffer);
            outcome.end = MergeJobEnd::Cancelled;
            return false;
        }
        if (!survey.sameParameters && options_.warnMixedParameters &&
            !host_.ShowInfoWithToggle(Msg::MergeParametersDiffer,
                                      std::string(settings::MergeDiffParamsDialog.name), true)) {
            outcome.end = MergeJobEnd::ChangeMode;
            return false;
        }
    }
    outcome.mode = mode;
    if (mode == MergeMode::Convert) {
        outcome.channels =
            options_.outputChannels >= 1 ? options_.outputChannels : (survey.allMono ? 1 : 2);
        outcome.sampleRate =
            options_.outputSampleRate >= 1 ? options_.outputSampleRate : survey.highestSampleRate;
        if (outcome.sampleRate <= 0)
            outcome.sampleRate = 44100;
    }
    return true;
}

bool MergeJob::ChooseOutput(MergeJobOutcome& outcome) {
    std::string& output = outcome.outputPath;
    output = options_.outputPath;
    if (output.empty()) {
        const std::string& folder = options_.destinationFolder.empty() ? options_.lastOutputFolder
                                                                       : options_.destinationFolder;
        std::optional<std::string> chosen =
            host_.ChooseSaveFile(Msg::MergeOutputTitle, folder, options_.proposedName);
        if (!chosen || chosen->empty())
            return false;
        output = *chosen;
        outcome.outputChosen = true;
    }
    bool confirm = options_.confirmOverwrite;
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
        if (!confirm || !fs::exists(output, ec))
            return true;
        OverwriteReply reply = host_.AskOverwrite(output);
        confirm = !reply.dontAskAgain;
        outcome.confirmOverwrite = confirm;
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

MergeResult MergeJob::Merge(const MergeJobOutcome& outcome) {
    const std::string& path = outcome.outputPath;
    // A name still free now was never confirmed for replacing: a file that appears under it
    // while the merge runs is kept unless the user then says otherwise.
    std::error_code ec;
    ExistingOutput existing =
        outcome.confirmOverwrite.value_or(options_.confirmOverwrite) && !fs::exists(path, ec)
            ? ExistingOutput::Keep
            : ExistingOutput::Replace;
    OutputFile out;
    if (!out.Open(path)) {
        host_.ShowMessage(MessageKind::Error,
                          UserMessage(Msg::CannotCreateFile, path).WithReason(out.Error()));
        return MergeResult::Failed;
    }
    const std::string working = out.TempPath().string();
    std::vector<MergeSource> sources = MergeSourcesOf(list_);
    const TagInfo& tags = options_.tags;
    const bool chapters = options_.writeChapters && tags.writeId3v2;
    if (options_.writeChapters && !tags.writeId3v2)
        host_.ShowMessage(MessageKind::Warning, Msg::ChaptersNeedId3v2);
    MergeResult result;
    const bool convert = outcome.mode == MergeMode::Convert;
    if (convert) {
        ConvertOptions options;
        options.sampleRate = outcome.sampleRate;
        options.channels = outcome.channels;
        options.gapless = options_.gapless;
        result = engines_.Convert(engines_.FindEncoder(), working, sources, options, host_);
    } else {
        // The chapters' times are known once the frames are copied: their tag comes after.
        // Messages name the output, not the temporary file that becomes it.
        TagInfo directTags = tags;
        directTags.writeId3v2 = tags.writeId3v2 && !chapters;
        result = engines_.Direct(sources, out.Stream(), path, directTags, host_);
        if (std::fflush(out.Stream()) != 0 && result == MergeResult::Done) {
            host_.ShowMessage(MessageKind::Error,
                              UserMessage(Msg::CannotWriteFile, path).WithReason(errno));
            result = MergeResult::Failed;
        }
    }
    // The encoder writes no tag of ours: the ID3v2 tag goes in front of the finished file, as
    // it does for chapters.
    if (result == MergeResult::Done && tags.writeId3v2 && (convert || chapters)) {
        host_.SetStatus(Message(Msg::SavingTags));
        const std::vector<std::uint8_t> frames =
            chapters ? MergeChapterFrames(list_, engines_.Pieces()) : std::vector<std::uint8_t>();
        if (engines_.WriteId3v2(working, tags, frames))
            host_.SetStatus(Message(Msg::TagsSaved));
        else
            host_.ShowMessage(MessageKind::Error, Msg::TagsNotWritten);
    }
    if (result != MergeResult::Done) {
        out.Discard();
        host_.SetProgress(0, 0);
        return result;
    }
    if (options_.tags.writeId3v1 && !engines_.WriteId3v1(working, options_.tags))
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
        host_.ShowMessage(MessageKind::Error,
                          UserMessage(Msg::CannotWriteFile, path).WithReason(out.Error()));
        return MergeResult::Failed;
    }
    return MergeResult::Done;
}

void MergeJob::AfterSuccess(MergeJobOutcome& outcome) {
    const std::string& path = outcome.outputPath;
    bool play = false;
    bool open = options_.openFolder;
    outcome.startNew = options_.startNew;
    if (options_.showCompletion) {
        CompletionReport report;
        report.message = {Msg::MergeDone, path};
        report.outputPath = path;
        report.openFolderPreset = open;
        report.startNewPreset = options_.startNew;
        CompletionReply reply = host_.ShowCompletion(report);
        outcome.completion = reply;
        outcome.startNew = reply.startNew;
        open = open || reply.openFolder;
        play = reply.playResult;
    }
    if (open)
        host_.OpenFolder(fs::path(path).parent_path().string());
    if (play || options_.playResult)
        host_.PlayFile(path);
}

}  // namespace partita
