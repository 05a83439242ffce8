#include "completion_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui_text.h"

namespace partita::gui {

CompletionDialog::CompletionDialog(const QString& title, const UserMessage& message,
                                   QWidget* parent)
    : QDialog(parent),
      summary_(new QLabel(this)),
      ticks_(new QVBoxLayout),
      buttons_(new QDialogButtonBox(this)) {
    setWindowTitle(title);
    auto* icon = new QLabel(this);
    int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(size, size));
    auto* text = new QLabel(MessageText(message), this);
    text->setObjectName(QStringLiteral("Message"));
    text->setWordWrap(true);
    text->setMinimumWidth(360);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setWordWrap(true);
    summary_->hide();

    auto* texts = new QVBoxLayout;
    texts->addWidget(text);
    texts->addWidget(summary_);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(ticks_);
    layout->addWidget(buttons_);
}

void CompletionDialog::SetSummary(const QString& line) {
    summary_->setText(line);
    summary_->setVisible(!line.isEmpty());
}

QString CompletionDialog::Summary() const {
    return summary_->text();
}

CompletionReply CompletionDialog::Reply() const {
    CompletionReply reply = pressed_;
    for (const auto& [tick, answer] : tickAnswers_)
        reply.*answer = tick->isChecked();
    return reply;
}

void CompletionDialog::AddTick(DialogText label, const QString& name, bool checked,
                               bool CompletionReply::*answer) {
    auto* tick = new QCheckBox(Text(label), this);
    tick->setObjectName(name);
    tick->setChecked(checked);
    ticks_->addWidget(tick);
    tickAnswers_.emplace_back(tick, answer);
}

QPushButton* CompletionDialog::AddButton(DialogText label, const QString& name,
                                         bool CompletionReply::*answer) {
    auto* button = new QPushButton(Text(label), this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    buttons_->addButton(button, QDialogButtonBox::ActionRole);
    connect(button, &QPushButton::clicked, this, [this, answer] {
        if (answer)
            pressed_.*answer = true;
        accept();
    });
    return button;
}

}  // namespace partita::gui
