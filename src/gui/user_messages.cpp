#include "user_messages.h"

#include <QMessageBox>

#include "program_info.h"

namespace partita::gui {

void MessageBoxes::Show(QWidget* parent, Icon icon, const QString& text) {
    QMessageBox::Icon boxIcon = icon == Icon::Error     ? QMessageBox::Critical
                                : icon == Icon::Warning ? QMessageBox::Warning
                                                        : QMessageBox::Information;
    QMessageBox box(boxIcon, ProgramName(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace partita::gui
