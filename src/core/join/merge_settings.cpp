#include "join/merge_settings.h"

#include <filesystem>

#include "app/setting_values.h"

namespace partita {
namespace {

bool IsOn(const IntSetting& setting, SettingsStore& settings) {
    return setting.Read(settings) != 0;
}

std::uint64_t Milliseconds(const IntSetting& setting, SettingsStore& settings) {
    int value = setting.Read(settings);
    return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

}  // namespace

MergeJobOptions ReadMergeJobOptions(SettingsStore& settings) {
    MergeJobOptions options;
    int mode = settings::MergeMode.Read(settings);
    options.mode = mode == 0 ? MergeMode::Auto : mode == 2 ? MergeMode::Convert : MergeMode::Direct;
    options.outputSampleRate = settings::OutputSamplerate.Read(settings);
    options.outputChannels = settings::OutputChannel.Read(settings);
    options.gapless = IsOn(settings::GaplessMerge, settings);
    options.writeChapters = IsOn(settings::WriteChapters, settings);

    TagInfo& tags = options.tags;
    tags.writeId3v1 = IsOn(settings::WriteId3v1Tag, settings);
    tags.writeId3v2 = IsOn(settings::WriteId3v2Tag, settings);
    if (IsOn(settings::JoinSaveId3Tag, settings)) {
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

    options.destinationFolder = settings::MergeDestinationFolder.Read(settings);
    options.lastOutputFolder = settings::MergeTempOutputFolder.Read(settings);
    options.proposedName = settings::MergeDestinationName.Read(settings);
    options.confirmOverwrite = IsOn(settings::JoinConfirmOverwrite, settings);
    options.warnMixedParameters = IsOn(settings::MergeDiffParamsDialog, settings);
    options.showCompletion = IsOn(settings::JoinShowSuccess, settings);
    options.openFolder = IsOn(settings::JoinAutoOpenFolder, settings);
    options.playResult = IsOn(settings::JoinPlayResult, settings);
    options.startNew = IsOn(settings::StartNewMerge, settings);
    options.installFolder = settings::InstallPath.Read(settings);
    options.legacyCodePage = settings::LegacyCodePage.Read(settings);
    return options;
}

MergeListDefaults ReadMergeListDefaults(SettingsStore& settings) {
    MergeListDefaults defaults;
    defaults.applySilence = IsOn(settings::AutoApplySilence, settings);
    defaults.silenceSeconds = std::max(0, settings::MergeSilenceLength.Read(settings));
    defaults.applyPartial = IsOn(settings::PartialMergeAutoApply, settings);
    PartialMergeSettings& partial = defaults.partial;
    partial.enabled = IsOn(settings::PartialMergeEnable, settings);
    switch (settings::PartialMergeMode.Read(settings)) {
        case 1:
            partial.mode = PartialMergeSettings::EndMode::LengthBeforeEnd;
            break;
        case 2:
            partial.mode = PartialMergeSettings::EndMode::LengthFromStart;
            break;
        default:
            partial.mode = PartialMergeSettings::EndMode::Position;
            break;
    }
    partial.startMs = Milliseconds(settings::PartialMergeStart, settings);
    partial.endPositionMs = Milliseconds(settings::PartialMergeEndPos, settings);
    partial.lengthBeforeEndMs = Milliseconds(settings::PartialMergeLength2End, settings);
    partial.lengthFromStartMs = Milliseconds(settings::PartialMergeLength, settings);
    defaults.sort = {settings::JoinSortingColumn.Read(settings),
                     settings::JoinSortingDir.Read(settings) != 0};
    defaults.legacyCodePage = settings::LegacyCodePage.Read(settings);
    return defaults;
}

void StoreMergeJobReplies(const MergeJobOutcome& outcome, SettingsStore& settings) {
    namespace fs = std::filesystem;
    if (outcome.outputChosen) {
        fs::path output(outcome.outputPath);
        settings::MergeDestinationName.Write(settings, output.filename().string());
        settings::MergeTempOutputFolder.Write(settings, output.parent_path().string());
    }
    if (outcome.confirmOverwrite)
        settings::JoinConfirmOverwrite.Write(settings, *outcome.confirmOverwrite ? 1 : 0);
    if (outcome.completion) {
        settings::StartNewMerge.Write(settings, outcome.completion->startNew ? 1 : 0);
        settings::JoinShowSuccess.Write(settings, outcome.completion->dontShowAgain ? 0 : 1);
    }
}

void StoreMergeSortOrder(const MergeSortOrder& order, SettingsStore& settings) {
    settings::JoinSortingColumn.Write(settings, order.column);
    settings::JoinSortingDir.Write(settings, order.ascending ? 1 : 0);
}

}  // namespace partita
