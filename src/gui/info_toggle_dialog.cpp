#include "info_toggle_dialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "app/setting_values.h"
#include "dialog_text.h"
#include "owned_dialog.h"
#include "program_info.h"

namespace partita::gui {

InfoToggleDialog::InfoToggleDialog(SettingsStore& settings, std::string toggleName,
                                   const QString& text, bool withCancel, QWidget* parent)
    : QMessageBox(QMessageBox::Information, ProgramName(), text, QMessageBox::NoButton, parent) {
    ok_ = addButton(Text(DialogText::Ok), QMessageBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("Ok"));
    QAbstractButton* escape = ok_;
    if (withCancel) {
        escape = addButton(Text(DialogText::Cancel), QMessageBox::RejectRole);
        escape->setObjectName(QStringLiteral("Cancel"));
    }
    setDefaultButton(static_cast<QPushButton*>(ok_));
    setEscapeButton(escape);

    auto* tick = new QCheckBox(Text(DialogText::DontShowMessage), this);
    tick->setObjectName(QStringLiteral("DontShowAgain"));
    setCheckBox(tick);
    connect(tick, &QCheckBox::toggled, this, [&settings, name = std::move(toggleName)](bool on) {
        settings.WriteInt(settings::kDialogToggle, name, on ? 0 : 1);
    });
}

bool InfoToggleDialog::ShowUnlessTurnedOff(SettingsStore& settings, const std::string& toggleName,
                                           const QString& text, bool withCancel, QWidget* parent) {
    if (settings.ReadInt(settings::kDialogToggle, toggleName, 1) == 0)
        return true;
    return RunOwnedDialog(
        new InfoToggleDialog(settings, toggleName, text, withCancel, parent),
        [](InfoToggleDialog& box, bool) { return box.Confirmed(); }, false);
}

}  // namespace partita::gui
