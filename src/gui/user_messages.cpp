#include "user_messages.h"

#include <QMessageBox>

#include "program_info.h"
#include "ui_text.h"

namespace partita::gui {

void UserMessages::Show(QWidget* parent, Icon icon, const UserMessage& message) {
    Show(parent, icon, MessageText(message));
}

void MessageBoxes::Show(QWidget* parent, Icon icon, const QString& text) {
    QMessageBox::Icon boxIcon = icon == Icon::Error     ? QMessageBox::Critical
                                : icon == Icon::Warning ? QMessageBox::Warning
                                                        : QMessageBox::Information;
    QMessageBox box(boxIcon, ProgramName(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace partita::gui
