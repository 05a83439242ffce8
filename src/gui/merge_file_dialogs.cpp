#include "merge_file_dialogs.h"

#include <QFileDialog>

#include "dialog_text.h"
#include "join_dialog_text.h"
#include "owned_dialog.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

// A file dialog of the joiner, opening in `folder`.
QFileDialog* MakeDialog(QWidget* parent, Msg title, const QString& folder,
                        const QStringList& filters, QFileDialog::FileMode mode) {
    auto* dialog = new QFileDialog(parent, MessageText(title), folder);
    dialog->setObjectName(QStringLiteral("MergeFileDialog"));
    dialog->setFileMode(mode);
    dialog->setNameFilters(filters);
    return dialog;
}

QStringList Run(QFileDialog* dialog) {
    return RunOwnedDialog(
        dialog,
        [](QFileDialog& done, bool accepted) {
            return accepted ? done.selectedFiles() : QStringList();
        },
        QStringList());
}

QString First(const QStringList& files) {
    return files.isEmpty() ? QString() : files.first();
}

}  // namespace

QStringList PickMergeSourceFiles(QWidget* parent, const QString& folder) {
    using T = JoinDialogText;
    return Run(MakeDialog(
        parent, Msg::AddMergeFilesTitle, folder,
        {Text(T::SupportedAudioFiles), Text(T::MpegAudioFiles), Text(T::WindowsMediaFiles),
         Text(T::WaveFiles), Text(T::OggFiles), Text(T::AiffFiles), Text(DialogText::AllFiles)},
        QFileDialog::ExistingFiles));
}

QString PickMergeListToOpen(QWidget* parent, const QString& folder) {
    return First(Run(MakeDialog(parent, Msg::OpenMergeListTitle, folder,
                                {Text(JoinDialogText::PlsOrM3uFiles), Text(DialogText::AllFiles)},
                                QFileDialog::ExistingFile)));
}

QString PickMergeListToSave(QWidget* parent, const QString& folder) {
    QFileDialog* dialog = MakeDialog(parent, Msg::SaveMergeListTitle, folder,
                                     {Text(JoinDialogText::M3uFiles)}, QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("m3u"));
    // The page asks its own question about an existing file.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return First(Run(dialog));
}

}  // namespace partita::gui
