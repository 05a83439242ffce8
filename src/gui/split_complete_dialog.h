#pragma once

#include "completion_dialog.h"

namespace partita::gui {

// The dialog after a split: OK, a button that starts a new split, the open-folder tick as the
// settings preset it, and the tick that stops the dialog.
class SplitCompleteDialog : public CompletionDialog {
    Q_OBJECT

  public:
    SplitCompleteDialog(const CompletionReport& report, QWidget* parent);
};

}  // namespace partita::gui
