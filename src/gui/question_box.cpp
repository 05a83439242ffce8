#include "question_box.h"

#include <QPushButton>

#include "dialog_text.h"
#include "program_info.h"

namespace partita::gui {

QuestionBox::QuestionBox(const QString& text, Buttons buttons, QWidget* parent)
    : QMessageBox(QMessageBox::Question, ProgramName(), text, QMessageBox::NoButton, parent) {
    bool yesNo = buttons == Buttons::YesNo;
    yes_ = addButton(Text(yesNo ? DialogText::Yes : DialogText::Ok), QMessageBox::YesRole);
    yes_->setObjectName(yesNo ? QStringLiteral("Yes") : QStringLiteral("Ok"));
    QAbstractButton* no =
        addButton(Text(yesNo ? DialogText::No : DialogText::Cancel), QMessageBox::NoRole);
    no->setObjectName(yesNo ? QStringLiteral("No") : QStringLiteral("Cancel"));
    setDefaultButton(static_cast<QPushButton*>(yes_));
    setEscapeButton(no);
}

}  // namespace partita::gui
