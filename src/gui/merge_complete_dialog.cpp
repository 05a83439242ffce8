#include "merge_complete_dialog.h"

#include <QPushButton>

namespace partita::gui {

MergeCompleteDialog::MergeCompleteDialog(const CompletionReport& report, QWidget* parent)
    : CompletionDialog(Text(DialogText::MergeDoneTitle), report.message, parent) {
    AddTick(DialogText::StartNewMerge, QStringLiteral("StartNew"), report.startNewPreset,
            &CompletionReply::startNew);
    AddTick(DialogText::DontShowWindow, QStringLiteral("DontShowAgain"), false,
            &CompletionReply::dontShowAgain);
    AddButton(DialogText::Ok, QStringLiteral("Ok"))->setDefault(true);
    AddButton(DialogText::PlayNow, QStringLiteral("PlayNow"), &CompletionReply::playResult);
    AddButton(DialogText::OpenFolder, QStringLiteral("OpenFolder"), &CompletionReply::openFolder);
}

}  // namespace partita::gui
