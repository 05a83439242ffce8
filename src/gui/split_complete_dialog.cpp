#include "split_complete_dialog.h"

#include <QPushButton>

namespace partita::gui {

SplitCompleteDialog::SplitCompleteDialog(const CompletionReport& report, QWidget* parent)
    : CompletionDialog(Text(DialogText::SplitDoneTitle), report.message, parent) {
    AddTick(DialogText::OpenOutputFolder, QStringLiteral("OpenFolder"), report.openFolderPreset,
            &CompletionReply::openFolder);
    AddTick(DialogText::DontShowWindow, QStringLiteral("DontShowAgain"), false,
            &CompletionReply::dontShowAgain);
    AddButton(DialogText::Ok, QStringLiteral("Ok"))->setDefault(true);
    AddButton(DialogText::NewSplit, QStringLiteral("NewSplit"), &CompletionReply::startNew);
}

}  // namespace partita::gui
