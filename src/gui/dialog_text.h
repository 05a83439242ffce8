#pragma once

#include <QString>

namespace partita::gui {

// Labels of the job dialogs that the numbered string table does not hold: buttons, ticks, captions
// and the names that assistive technology reads for controls without a label. Each has a Chinese
// and an English form and follows the current language of the string table.
enum class DialogText {
    Yes,
    No,
    Ok,
    Cancel,
    OverwriteTitle,
    YesToAll,
    SkipFile,
    SaveUnderOtherName,
    OtherNameEdit,
    BrowseOtherName,
    DontAskOverwrite,
    DontShowMessage,
    StopSplitTitle,
    StopAll,
    Abort,
    Retry,
    Ignore,
    SplitDoneTitle,
    NewSplit,
    OpenOutputFolder,
    DontShowWindow,
    MergeDoneTitle,
    PlayNow,
    OpenFolder,
    StartNewMerge,
    Mp3Files,
    AllFiles,
};

QString Text(DialogText id);

}  // namespace partita::gui
