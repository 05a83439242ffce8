#include "overwrite_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "dialog_text.h"
#include "mp3_save_dialog.h"
#include "ui_text.h"

namespace partita::gui {

OverwriteDialog::OverwriteDialog(const QString& path, QWidget* parent)
    : QDialog(parent),
      path_(path),
      otherName_(new QCheckBox(Text(DialogText::SaveUnderOtherName), this)),
      otherPath_(new QLineEdit(path, this)),
      browse_(new QPushButton(QStringLiteral("..."), this)),
      dontAsk_(new QCheckBox(Text(DialogText::DontAskOverwrite), this)),
      yes_(new QPushButton(Text(DialogText::Yes), this)) {
    setWindowTitle(Text(DialogText::OverwriteTitle));
    auto* icon = new QLabel(this);
    int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(size, size));
    auto* question = new QLabel(MessageText(Msg::ConfirmReplaceFile, path.toStdString()), this);
    question->setWordWrap(true);
    question->setTextInteractionFlags(Qt::TextSelectableByMouse);

    otherName_->setObjectName(QStringLiteral("OtherName"));
    otherPath_->setObjectName(QStringLiteral("OtherPath"));
    otherPath_->setAccessibleName(Text(DialogText::OtherNameEdit));
    otherPath_->setMinimumWidth(420);
    browse_->setObjectName(QStringLiteral("BrowseOtherName"));
    browse_->setAccessibleName(Text(DialogText::BrowseOtherName));
    browse_->setToolTip(Text(DialogText::BrowseOtherName));
    browse_->setAutoDefault(false);
    dontAsk_->setObjectName(QStringLiteral("DontAskAgain"));

    auto* buttons = new QDialogButtonBox(this);
    yes_->setObjectName(QStringLiteral("Yes"));
    auto* yesToAll = new QPushButton(Text(DialogText::YesToAll), this);
    yesToAll->setObjectName(QStringLiteral("YesToAll"));
    auto* skip = new QPushButton(Text(DialogText::SkipFile), this);
    skip->setObjectName(QStringLiteral("Skip"));
    buttons->addButton(yes_, QDialogButtonBox::AcceptRole);
    buttons->addButton(yesToAll, QDialogButtonBox::AcceptRole);
    buttons->addButton(skip, QDialogButtonBox::RejectRole);
    yes_->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(question, 1);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(otherPath_, 1);
    pathRow->addWidget(browse_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(otherName_);
    layout->addLayout(pathRow);
    layout->addWidget(dontAsk_);
    layout->addWidget(buttons);

    connect(yes_, &QPushButton::clicked, this, [this] { Answer(OverwriteAnswer::Yes); });
    connect(yesToAll, &QPushButton::clicked, this, [this] { Answer(OverwriteAnswer::YesToAll); });
    connect(skip, &QPushButton::clicked, this, &OverwriteDialog::reject);
    connect(browse_, &QPushButton::clicked, this, &OverwriteDialog::Browse);
    connect(otherName_, &QCheckBox::toggled, this, &OverwriteDialog::UpdateControls);
    connect(otherPath_, &QLineEdit::textChanged, this, &OverwriteDialog::UpdateControls);
    UpdateControls();
}

OverwriteReply OverwriteDialog::Reply() const {
    OverwriteReply reply;
    reply.answer = answer_;
    reply.dontAskAgain = dontAsk_->isChecked();
    QString other = otherPath_->text().trimmed();
    if (answer_ == OverwriteAnswer::Yes && otherName_->isChecked() && other != path_) {
        reply.answer = OverwriteAnswer::OtherName;
        reply.otherPath = other.toStdString();
    }
    return reply;
}

void OverwriteDialog::Answer(OverwriteAnswer answer) {
    answer_ = answer;
    accept();
}

void OverwriteDialog::Browse() {
    QFileInfo current(otherPath_->text().trimmed());
    QString chosen = PickMp3SaveFile(this, MessageText(Msg::MergeOutputTitle),
                                     current.absolutePath(), current.fileName());
    if (!chosen.isEmpty())
        otherPath_->setText(chosen);
}

// The edit and its browser serve only an answer under another name; Yes needs a name then.
void OverwriteDialog::UpdateControls() {
    bool other = otherName_->isChecked();
    otherPath_->setEnabled(other);
    browse_->setEnabled(other);
    yes_->setEnabled(!other || !otherPath_->text().trimmed().isEmpty());
}

}  // namespace partita::gui
