#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>
#include <utility>

namespace partita::gui {

// Runs a dialog made with `new` to its end, then `read(dialog, accepted)` and deletes it. A dialog
// can go away while it is open, with the window it belongs to; then `read` never runs and the
// answer is `gone`.
template <typename Dialog, typename Read, typename Answer>
Answer RunOwnedDialog(Dialog* made, Read read, Answer gone) {
    QPointer<Dialog> dialog(made);
    int result = dialog->exec();
    if (!dialog)
        return gone;
    std::unique_ptr<Dialog> owned(dialog.data());
    return read(*owned, result == QDialog::Accepted);
}

}  // namespace partita::gui
