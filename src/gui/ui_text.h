#pragma once

#include <QString>
#include <string>

#include "app/message_format.h"

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
    MoreSettings,
    OpenManual,
    AboutHeading,
    AboutText,
    SettingsFile,
    NoAudioOutput,
    ManualMissing,
    ManualNotOpened,
    SplitterPlaceholder,
    JoinerPlaceholder,
    CommandLineSource,
    UsageText,
    BadOverride,
    ManualPlace,
};

QString Text(UiText id);

// A numbered message of the string table as a Qt text; "\r\n" line breaks become "\n".
QString MessageText(int id, std::span<const MessageArg> args = {});

template <typename... Args>
QString MessageText(int id, const Args&... args) {
    const MessageArg list[] = {MessageArg(args)..., MessageArg(0)};
    return MessageText(id, std::span<const MessageArg>(list, sizeof...(Args)));
}

inline QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace partita::gui
