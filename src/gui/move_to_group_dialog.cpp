#include "move_to_group_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "dialog_buttons.h"
#include "split_dialog_text.h"

namespace partita::gui {

MoveToGroupDialog::MoveToGroupDialog(const QString& fileName, const QStringList& groupNames,
                                     int currentGroup, QWidget* parent)
    : QDialog(parent), groups_(new QComboBox(this)) {
    setWindowTitle(Text(SplitDialogText::MoveToGroupTitle));
    auto* file = new QLabel(fileName, this);
    file->setObjectName(QStringLiteral("FileName"));
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    groups_->setObjectName(QStringLiteral("Groups"));
    groups_->addItems(groupNames);
    groups_->setCurrentIndex(currentGroup);
    groups_->setMinimumWidth(280);

    auto* form = new QFormLayout;
    form->addRow(Text(SplitDialogText::AudioFile), file);
    form->addRow(Text(SplitDialogText::TargetGroup), groups_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

QString MoveToGroupDialog::GroupName() const {
    return groups_->currentText();
}

int MoveToGroupDialog::GroupIndex() const {
    return groups_->currentIndex();
}

}  // namespace partita::gui
