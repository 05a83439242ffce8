#include "split_stop_dialog.h"

#include <QPushButton>

#include "dialog_text.h"
#include "ui_text.h"

namespace partita::gui {

SplitStopDialog::SplitStopDialog(const QString& sourceName, QWidget* parent)
    : QMessageBox(QMessageBox::Question, Text(DialogText::StopSplitTitle),
                  MessageText(Msg::ConfirmStopSplit, sourceName.toStdString()),
                  QMessageBox::NoButton, parent) {
    stopSource_ = addButton(Text(DialogText::Yes), QMessageBox::YesRole);
    stopSource_->setObjectName(QStringLiteral("Yes"));
    stopAll_ = addButton(Text(DialogText::StopAll), QMessageBox::DestructiveRole);
    stopAll_->setObjectName(QStringLiteral("StopAll"));
    QAbstractButton* cancel = addButton(Text(DialogText::Cancel), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    setDefaultButton(static_cast<QPushButton*>(stopSource_));
    setEscapeButton(cancel);
}

StopAnswer SplitStopDialog::Answer() const {
    if (clickedButton() == stopSource_)
        return StopAnswer::StopSource;
    return clickedButton() == stopAll_ ? StopAnswer::StopAll : StopAnswer::Continue;
}

}  // namespace partita::gui
