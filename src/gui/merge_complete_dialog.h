#pragma once

#include "completion_dialog.h"

namespace partita::gui {

// The dialog after a merge: OK, play the merged file now, open its folder, the start-new-merge
// tick as the settings preset it, and the tick that stops the dialog.
class MergeCompleteDialog : public CompletionDialog {
    Q_OBJECT

  public:
    MergeCompleteDialog(const CompletionReport& report, QWidget* parent);
};

}  // namespace partita::gui
