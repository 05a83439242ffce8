#include "progress_cancel_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_text.h"

namespace partita::gui {

ProgressCancelDialog::ProgressCancelDialog(const QString& title, const QString& text,
                                           QWidget* parent)
    : QDialog(parent),
      text_(new QLabel(text, this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(Text(DialogText::Cancel), this)) {
    setWindowTitle(title);
    // The owner stays visible but takes no input while the work runs.
    setWindowModality(Qt::WindowModal);
    text_->setObjectName(QStringLiteral("Text"));
    text_->setWordWrap(true);
    text_->setMinimumWidth(420);
    bar_->setObjectName(QStringLiteral("Progress"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setAccessibleName(title);
    cancel_->setObjectName(QStringLiteral("Cancel"));
    cancel_->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(cancel_, QDialogButtonBox::RejectRole);
    connect(cancel_, &QPushButton::clicked, this, &ProgressCancelDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addWidget(buttons);
}

void ProgressCancelDialog::SetProgress(int percent) {
    bar_->setValue(std::clamp(percent, 0, 100));
}

void ProgressCancelDialog::SetText(const QString& text) {
    text_->setText(text);
}

void ProgressCancelDialog::reject() {
    // The box closes when the work has stopped, not at the click: the owner closes it.
    if (cancelled_.load() || !ConfirmCancel())
        return;
    cancelled_.store(true);
    cancel_->setEnabled(false);
    emit Cancelled();
}

}  // namespace partita::gui
