#include "loading_frames_dialog.h"

#include "split_dialog_text.h"
#include "ui_text.h"

namespace partita::gui {

LoadingFramesDialog::LoadingFramesDialog(const QString& fileName, QWidget* parent)
    : ProgressCancelDialog(
          Text(SplitDialogText::LoadingFramesTitle) + QStringLiteral(" - ") + fileName,
          MessageText(Msg::LoadingFramesTip), parent) {}

}  // namespace partita::gui
