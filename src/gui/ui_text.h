#pragma once

#include <QString>
#include <string>

#include "app/user_message.h"

namespace partita::gui {

// Texts of the window that the numbered string table does not hold: control labels, the
// summaries' answers and the notes of this platform. Each has a Chinese and an English form and
// follows the current language of the string table.
enum class UiText {
    Yes,
    No,
    LastOpenedFolder,
    CountSelected,
    CountAll,
    AlwaysUseFolder,
    RememberLastFolder,
    Browse,
    JoinerOptions,
    SplitterOptions,
    ConfirmOverwrite,
    ShowSuccess,
    OpenFolderWhenDone,
    PlayMergedFile,
    StartNewMerge,
    ConfirmOutputFolder,
    CountGeneratedOnly,
    ExportCue,
    StartNewSplit,
    WriteVbrHeader,
    SampleAccurate,
    SplitAtChapters,
    MoreSettings,
    OpenManual,
    AboutHeading,
    AboutText,
    SettingsFile,
    NoAudioOutput,
    ManualMissing,
    ManualNotOpened,
    UsageText,
    BadOverride,
    ManualPlace,
};

QString Text(UiText id);

// A message in the current language as a Qt text; "\r\n" line breaks become "\n".
QString MessageText(const UserMessage& message);

template <typename... Args>
QString MessageText(Msg id, const Args&... args) {
    return MessageText(UserMessage(id, args...));
}

inline QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace partita::gui
