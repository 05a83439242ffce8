#include "silence_scan_progress.h"

#include "owned_dialog.h"
#include "question_box.h"
#include "split_dialog_text.h"
#include "ui_text.h"

namespace partita::gui {

SilenceScanProgress::SilenceScanProgress(const QString& fileName, QWidget* parent)
    : ProgressCancelDialog(Text(SplitDialogText::SilenceTitle),
                           MessageText(Msg::DetectingSilence, 0, fileName.toStdString()), parent),
      fileName_(fileName) {}

void SilenceScanProgress::SetFound(int silences) {
    SetText(MessageText(Msg::DetectingSilence, silences, fileName_.toStdString()));
}

bool SilenceScanProgress::ConfirmCancel() {
    return RunOwnedDialog(
        new QuestionBox(MessageText(Msg::ConfirmStopSilenceDetection),
                        QuestionBox::Buttons::OkCancel, this),
        [](QuestionBox& box, bool) { return box.Confirmed(); }, false);
}

}  // namespace partita::gui
