#include "mp3_save_dialog.h"

#include <QDir>
#include <QFileDialog>

#include "dialog_text.h"
#include "owned_dialog.h"

namespace partita::gui {

QString PickMp3SaveFile(QWidget* parent, const QString& title, const QString& folder,
                        const QString& name) {
    auto* dialog = new QFileDialog(parent, title, folder);
    dialog->setObjectName(QStringLiteral("Mp3SaveDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({Text(DialogText::Mp3Files), Text(DialogText::AllFiles)});
    dialog->setDefaultSuffix(QStringLiteral("mp3"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!name.isEmpty())
        dialog->selectFile(folder.isEmpty() ? name : QDir(folder).filePath(name));
    return RunOwnedDialog(
        dialog,
        [](QFileDialog& done, bool accepted) {
            return accepted && !done.selectedFiles().isEmpty() ? done.selectedFiles().first()
                                                               : QString();
        },
        QString());
}

}  // namespace partita::gui
