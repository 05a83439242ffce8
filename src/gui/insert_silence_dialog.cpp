#include "insert_silence_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/setting_values.h"
#include "dialog_text.h"
#include "join/merge_list.h"
#include "join_dialog_text.h"

namespace partita::gui {
namespace {

// A day of silence is far more than anyone inserts between tracks, and keeps the seconds well
// inside what a merge can write.
constexpr int kMaxSilenceSeconds = 24 * 3600;

}  // namespace

int SilenceDialogStartSeconds(const MergeList& list, std::span<const std::size_t> selected,
                              int storedSeconds) {
    if (!selected.empty() && selected.front() < list.Size() &&
        list.Row(selected.front()).silenceSeconds > 0)
        return list.Row(selected.front()).silenceSeconds;
    return std::max(0, storedSeconds);
}

InsertSilenceDialog::InsertSilenceDialog(int seconds, bool autoApply, bool canApply,
                                         SettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), canApply_(canApply) {
    setWindowTitle(Text(JoinDialogText::InsertSilenceTitle));

    seconds_ = new QSpinBox(this);
    seconds_->setObjectName(QStringLiteral("Seconds"));
    seconds_->setRange(0, kMaxSilenceSeconds);
    seconds_->setValue(std::clamp(seconds, 0, kMaxSilenceSeconds));
    seconds_->setAccessibleName(AccessibleText(JoinDialogText::SilenceSeconds));
    seconds_->setAccessibleDescription(Text(JoinDialogText::SilenceZeroNote));
    if (auto* edit = seconds_->findChild<QLineEdit*>())
        edit->setAccessibleName(seconds_->accessibleName());
    auto* secondsLabel = new QLabel(Text(JoinDialogText::SilenceSeconds), this);
    secondsLabel->setBuddy(seconds_);
    auto* note = new QLabel(Text(JoinDialogText::SilenceZeroNote), this);
    note->setEnabled(false);

    autoApply_ = new QCheckBox(Text(JoinDialogText::AutoApplySilence), this);
    autoApply_->setObjectName(QStringLiteral("AutoApply"));
    autoApply_->setChecked(autoApply);

    auto makeButton = [this](const QString& text, const QString& name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        return button;
    };
    apply_ = makeButton(Text(JoinDialogText::Apply), QStringLiteral("Apply"));
    applyAll_ = makeButton(Text(JoinDialogText::ApplyAll), QStringLiteral("ApplyAll"));
    QPushButton* save = makeButton(Text(JoinDialogText::Save), QStringLiteral("Save"));
    QPushButton* cancel = makeButton(Text(DialogText::Cancel), QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {apply_, applyAll_, save, cancel})
        buttons->addWidget(button);
    apply_->setEnabled(canApply);
    applyAll_->setEnabled(canApply);
    // Enter answers with the button that does something here: apply, or save when nothing can
    // be applied to.
    (canApply ? apply_ : save)->setDefault(true);
    connect(apply_, &QPushButton::clicked, this, [this] { Finish(MergeRowsTarget::Selected); });
    connect(applyAll_, &QPushButton::clicked, this, [this] { Finish(MergeRowsTarget::All); });
    connect(save, &QPushButton::clicked, this, &InsertSilenceDialog::Save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(secondsLabel, seconds_);
    form->addRow(QString(), note);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(autoApply_);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    seconds_->selectAll();
    seconds_->setFocus();
}

int InsertSilenceDialog::Seconds() const {
    return seconds_->value();
}

bool InsertSilenceDialog::AutoApply() const {
    return autoApply_->isChecked();
}

void InsertSilenceDialog::Finish(MergeRowsTarget target) {
    seconds_->interpretText();
    target_ = target;
    accept();
}

void InsertSilenceDialog::Save() {
    seconds_->interpretText();
    settings::MergeSilenceLength.Write(settings_, Seconds());
    settings::AutoApplySilence.Write(settings_, AutoApply() ? 1 : 0);
    if (!canApply_) {
        target_ = MergeRowsTarget::None;
        accept();
    }
}

}  // namespace partita::gui
