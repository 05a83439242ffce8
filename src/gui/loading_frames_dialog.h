#pragma once

#include "progress_cancel_dialog.h"

namespace partita::gui {

// Shown while a source in frame split mode is read to build its frame index: the tip that frame
// mode is exact but slow on large files (string 262), the progress and Cancel.
class LoadingFramesDialog : public ProgressCancelDialog {
    Q_OBJECT

  public:
    LoadingFramesDialog(const QString& fileName, QWidget* parent);
};

}  // namespace partita::gui
