#pragma once

#include <functional>

class QDialog;
class QDialogButtonBox;
class QPushButton;

namespace partita::gui {

// The OK and Cancel buttons of a dialog, in a button box for its layout.
struct OkCancelButtons {
    QDialogButtonBox* box;
    QPushButton* ok;
    QPushButton* cancel;
};

// Makes OK (the default button, named "Ok") and Cancel ("Cancel"): OK runs `beforeAccept` and
// accepts the dialog, Cancel rejects it.
OkCancelButtons MakeOkCancelButtons(QDialog* dialog, std::function<void()> beforeAccept);

}  // namespace partita::gui
