#include "naming_rule_help.h"

#include <QPushButton>

#include "dialog_text.h"
#include "owned_dialog.h"
#include "ui_text.h"

namespace partita::gui {

NamingRuleHelp::NamingRuleHelp(Topic topic, QWidget* parent)
    : QMessageBox(QMessageBox::Information,
                  MessageText(topic == Topic::FileNames ? Msg::NamingRuleHelpTitle
                                                        : Msg::TagFieldsHelpTitle),
                  MessageText(topic == Topic::FileNames ? Msg::NamingRuleHelp : Msg::TagFieldsHelp),
                  QMessageBox::NoButton, parent) {
    QAbstractButton* ok = addButton(Text(DialogText::Ok), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Ok"));
    setDefaultButton(static_cast<QPushButton*>(ok));
    setEscapeButton(ok);
    // The placeholders are meant to be copied into the rule.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void NamingRuleHelp::Show(Topic topic, QWidget* parent) {
    RunOwnedDialog(
        new NamingRuleHelp(topic, parent), [](NamingRuleHelp&, bool) { return 0; }, 0);
}

}  // namespace partita::gui
