#include "split_questions.h"

#include "app/setting_values.h"
#include "info_toggle_dialog.h"
#include "owned_dialog.h"
#include "question_box.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

bool Ask(const QString& text, QuestionBox::Buttons buttons, QWidget* parent) {
    return RunOwnedDialog(
        new QuestionBox(text, buttons, parent),
        [](QuestionBox& box, bool) { return box.Confirmed(); }, false);
}

}  // namespace

bool ConfirmRemoveGroup(QWidget* parent) {
    return Ask(MessageText(Msg::ConfirmRemoveGroup), QuestionBox::Buttons::YesNo, parent);
}

bool ConfirmClearSplitList(SettingsStore& settings, QWidget* parent) {
    return InfoToggleDialog::ShowUnlessTurnedOff(
        settings, std::string(settings::SplitClearAllDialog.name),
        MessageText(Msg::ConfirmClearSplitList), true, parent);
}

bool AskForOtherCueAudio(const QString& audioPath, QWidget* parent) {
    return Ask(MessageText(Msg::CueAudioNotLoaded, audioPath.toStdString()),
               QuestionBox::Buttons::OkCancel, parent);
}

}  // namespace partita::gui
