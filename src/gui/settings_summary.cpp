#include "settings_summary.h"

#include "app/setting_values.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

std::string YesNo(SettingsStore& store, const IntSetting& setting) {
    return Text(setting.Read(store) != 0 ? UiText::Yes : UiText::No).toStdString();
}

std::string SourceFolder(SettingsStore& store, const IntSetting& mode,
                         const StringSetting& folder) {
    if (mode.Read(store) == 1)
        return Text(UiText::LastOpenedFolder).toStdString();
    return folder.Read(store);
}

}  // namespace

QString JoinerSummary(SettingsStore& store) {
    using namespace settings;
    return MessageText(Msg::JoinerOptionsSummary,
                       SourceFolder(store, MergeSourceFolderMode, MergeSourceFolder),
                       YesNo(store, JoinConfirmOverwrite), YesNo(store, JoinShowSuccess),
                       YesNo(store, JoinAutoOpenFolder), YesNo(store, JoinPlayResult),
                       YesNo(store, StartNewMerge));
}

QString SplitterSummary(SettingsStore& store) {
    using namespace settings;
    std::string counting =
        Text(SplitCountGeneratedTrackNumber.Read(store) != 0 ? UiText::CountSelected
                                                             : UiText::CountAll)
            .toStdString();
    return MessageText(
        Msg::SplitterOptionsSummary, SourceFolder(store, SplitSourceFolderMode, SplitSourceFolder),
        YesNo(store, SplitOutputFolderConfirmation), YesNo(store, SplitConfirmOverwrite), counting,
        YesNo(store, SplitShowSuccess), YesNo(store, SplitAutoOpenFolder), YesNo(store, ExportCue),
        YesNo(store, StartNewSplit), YesNo(store, WriteVbrHeader));
}

void StoreSourceFolderDefaults(SettingsStore& store) {
    using namespace settings;
    MergeSourceFolderMode.Read(store);  // both modes are written back at their first read
    SplitSourceFolderMode.Read(store);
    for (const StringSetting* folder : {&MergeSourceFolder, &SplitSourceFolder}) {
        if (!store.Contains(folder->section, folder->name))
            folder->Write(store, std::string_view{});
    }
}

}  // namespace partita::gui
