#include "failure_box.h"

#include <QPushButton>

#include "dialog_text.h"
#include "program_info.h"

namespace partita::gui {

FailureBox::FailureBox(const QString& text, QWidget* parent)
    : QMessageBox(QMessageBox::Critical, ProgramName(), text, QMessageBox::NoButton, parent) {
    // One role for the three keeps them in this order.
    QAbstractButton* abort = addButton(Text(DialogText::Abort), QMessageBox::ActionRole);
    abort->setObjectName(QStringLiteral("Abort"));
    retry_ = addButton(Text(DialogText::Retry), QMessageBox::ActionRole);
    retry_->setObjectName(QStringLiteral("Retry"));
    ignore_ = addButton(Text(DialogText::Ignore), QMessageBox::ActionRole);
    ignore_->setObjectName(QStringLiteral("Ignore"));
    setDefaultButton(static_cast<QPushButton*>(retry_));
    setEscapeButton(abort);
}

FailureAnswer FailureBox::Answer() const {
    if (clickedButton() == retry_)
        return FailureAnswer::Retry;
    return clickedButton() == ignore_ ? FailureAnswer::Ignore : FailureAnswer::Abort;
}

}  // namespace partita::gui
