#include "group_name_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "split_dialog_text.h"
#include "ui_text.h"

namespace partita::gui {

GroupNameDialog::GroupNameDialog(const QString& proposedName, QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(proposedName, this)) {
    setWindowTitle(Text(SplitDialogText::GroupNameTitle));
    auto* prompt = new QLabel(MessageText(Msg::EnterSplitGroupName), this);
    prompt->setBuddy(name_);
    name_->setObjectName(QStringLiteral("GroupName"));
    name_->setAccessibleName(Text(SplitDialogText::GroupName));
    name_->setMinimumWidth(320);
    name_->selectAll();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(name_);
    layout->addWidget(OkCancelButtons(this));
}

QString GroupNameDialog::Name() const {
    return name_->text().trimmed();
}

}  // namespace partita::gui
