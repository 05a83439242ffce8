#include "split/split_options.h"

#include <algorithm>

#include "app/setting_values.h"

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

SourceLoadDefaults SourceLoadDefaultsFromSettings(SettingsStore& settings) {
    SourceLoadDefaults defaults;
    if (On(settings::AutoOverlap, settings)) {
        defaults.overlaps.backwardMs =
            static_cast<std::uint64_t>(std::max(0, settings::BackwardOverlap.Read(settings)));
        defaults.overlaps.forwardMs =
            static_cast<std::uint64_t>(std::max(0, settings::ForwardOverlap.Read(settings)));
    }
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
    defaults.mode = SplitModeFromNumber(settings::SplitMode.Read(settings));
    defaults.codePage = settings::LegacyCodePage.Read(settings);
    return defaults;
}

}  // namespace partita
