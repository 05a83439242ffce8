#include "split/split_options.h"

#include <algorithm>

#include "app/setting_values.h"
#include "split/silence_detector.h"

namespace partita {
namespace {

bool On(const IntSetting& setting, SettingsStore& settings) {
    return setting.Read(settings) != 0;
}

}  // namespace

SplitJobOptions SplitJobOptionsFromSettings(SettingsStore& settings) {
    SplitJobOptions options;
    options.namingRule = settings::SplitNamingRule.Read(settings);
    options.outputFolder = settings::SplitDestinationFolder.Read(settings);
    options.lastOutputFolder = settings::SplitTempOutputFolder.Read(settings);
    options.confirmOutputFolder = On(settings::SplitOutputFolderConfirmation, settings);
    options.sameFolder = On(settings::SameFolderAsOriginal, settings);
    options.confirmOverwrite = On(settings::SplitConfirmOverwrite, settings);
    options.countGenerated = On(settings::SplitCountGeneratedTrackNumber, settings);
    options.cut.writeVbrHeader = On(settings::WriteVbrHeader, settings);
    options.cut.sampleAccurate = On(settings::SampleAccurate, settings);
    options.cut.codePage = settings::LegacyCodePage.Read(settings);
    options.exportCue = On(settings::ExportCue, settings);
    options.showSuccess = On(settings::SplitShowSuccess, settings);
    options.openFolder = On(settings::SplitAutoOpenFolder, settings);
    options.startNewSplit = On(settings::StartNewSplit, settings);
    return options;
}

void StoreSplitJobReplies(const SplitJobOptions& options, const SplitJobResult& result,
                          SettingsStore& settings) {
    if (result.status == SplitJobStatus::Finished || result.status == SplitJobStatus::Cancelled)
        settings::SplitNamingRule.Write(settings, options.namingRule);
    if (result.status == SplitJobStatus::Finished)
        settings::SplitTempOutputFolder.Write(settings, result.outputFolder);
}

SourceLoadDefaults SourceLoadDefaultsFromSettings(SettingsStore& settings) {
    SourceLoadDefaults defaults;
    const OverlapSettings overlaps = OverlapSettings::Read(settings);
    if (overlaps.automatic)
        defaults.overlaps = overlaps.overlaps;
    defaults.autoSequenceTitle = On(settings::SplitId3AutoSequence, settings);
    defaults.autoTrackNumber = On(settings::SplitId3AutoTrack, settings);
    defaults.autoTrackOnlyIfEmpty = On(settings::SplitId3AutoTrackIfNull, settings);
    if (settings::AutoAddSpecial.Read(settings) == 1) {
        SpecialSplitRequest request;
        if (settings::AddSpecialTypeAtLoad.Read(settings) == 0) {
            request.type = SpecialSplitType::EqualParts;
            request.count = settings::AddSpecialBySectionAtLoad.Read(settings);
            if (request.count <= kMaxSpecialParts)
                defaults.autoSpecial = request;
        } else {
            request.type = SpecialSplitType::FixedTime;
            const int step = settings::AddSpecialByTime.Read(settings);
            request.stepMs = static_cast<std::uint64_t>(std::max(step, 0));
            if (step > 0)
                defaults.autoSpecial = request;
        }
    }
    defaults.splitAtChapters = On(settings::SplitAtChapters, settings);
    defaults.mode = SplitModeFromNumber(settings::SplitMode.Read(settings));
    defaults.codePage = settings::LegacyCodePage.Read(settings);
    return defaults;
}

// The dialogs' values: read when a dialog opens (and for the command line), stored on its OK.

SilenceOptions SilenceOptions::Read(SettingsStore& store) {
    SilenceOptions options;
    options.levelTenthsDb = settings::SilenceLevel.Read(store);
    options.minLengthMs = settings::SilenceLength.Read(store);
    options.excludeSilence = settings::ExcludeSilence.Read(store) != 0;
    return options;
}

void SilenceOptions::Write(SettingsStore& store) const {
    settings::SilenceLevel.Write(store, levelTenthsDb);
    settings::SilenceLength.Write(store, minLengthMs);
    settings::ExcludeSilence.Write(store, excludeSilence ? 1 : 0);
}

OverlapSettings OverlapSettings::Read(SettingsStore& store) {
    OverlapSettings values;
    values.overlaps.forwardMs =
        static_cast<std::uint64_t>(std::max(settings::ForwardOverlap.Read(store), 0));
    values.overlaps.backwardMs =
        static_cast<std::uint64_t>(std::max(settings::BackwardOverlap.Read(store), 0));
    values.automatic = settings::AutoOverlap.Read(store) != 0;
    return values;
}

void OverlapSettings::Write(SettingsStore& store, bool withAutomatic) const {
    auto clampMs = [](std::uint64_t ms) {
        return static_cast<int>(std::min<std::uint64_t>(ms, 0x7fffffff));
    };
    settings::ForwardOverlap.Write(store, clampMs(overlaps.forwardMs));
    settings::BackwardOverlap.Write(store, clampMs(overlaps.backwardMs));
    if (withAutomatic)
        settings::AutoOverlap.Write(store, automatic ? 1 : 0);
}

}  // namespace partita
