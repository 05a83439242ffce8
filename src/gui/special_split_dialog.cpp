#include "special_split_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "dialog_buttons.h"
#include "split_dialog_text.h"
#include "split_time_edit.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {
namespace {

QString ListTime(std::uint64_t ms) {
    return QString::fromStdString(FormatTime(ms, kTimeList));
}

}  // namespace

SpecialSplitDialog::SpecialSplitDialog(const SpecialSplitTarget& target, SettingsStore& settings,
                                       UserMessages& messages, QWidget* parent)
    : QDialog(parent),
      target_(target),
      settings_(settings),
      messages_(messages),
      byCount_(new QRadioButton(Text(SplitDialogText::ByCount), this)),
      byTime_(new QRadioButton(Text(SplitDialogText::ByTime), this)),
      count_(new QSpinBox(this)),
      time_(new SplitTimeEdit(this)),
      whole_(new QRadioButton(Text(SplitDialogText::WholeMp3), this)),
      selectedTrack_(new QRadioButton(Text(SplitDialogText::SelectedTrack), this)),
      automatic_(new QCheckBox(Text(SplitDialogText::AutoApply), this)),
      maximum_(new QLabel(this)),
      range_(new QLabel(this)) {
    setWindowTitle(Text(SplitDialogText::SpecialTitle));
    byCount_->setObjectName(QStringLiteral("ByCount"));
    byTime_->setObjectName(QStringLiteral("ByTime"));
    count_->setObjectName(QStringLiteral("Count"));
    count_->setAccessibleName(Text(SplitDialogText::PartCount));
    count_->findChild<QLineEdit*>()->setAccessibleName(Text(SplitDialogText::PartCount));
    // Counts out of range may be typed; OK refuses them with their message.
    count_->setRange(0, 99999);
    count_->setValue(settings::AddSpecialBySectionInDialog.Read(settings));
    time_->setObjectName(QStringLiteral("Time"));
    time_->setAccessibleName(Text(SplitDialogText::PartLength));
    time_->SetMs(
        static_cast<std::uint64_t>(std::max(0, settings::AddSpecialByTime.Read(settings))));
    bool fixedTime = settings::AddSpecialTypeInDialog.Read(settings) == 1;
    (fixedTime ? byTime_ : byCount_)->setChecked(true);
    whole_->setObjectName(QStringLiteral("Whole"));
    whole_->setChecked(true);
    selectedTrack_->setObjectName(QStringLiteral("SelectedTrack"));
    selectedTrack_->setEnabled(target.track.has_value());
    automatic_->setObjectName(QStringLiteral("Automatic"));
    automatic_->setChecked(settings::AutoAddSpecial.Read(settings) != 0);
    maximum_->setObjectName(QStringLiteral("Maximum"));
    range_->setObjectName(QStringLiteral("Range"));

    auto* type = new QGroupBox(Text(SplitDialogText::SplitBy), this);
    auto* typeGrid = new QGridLayout(type);
    typeGrid->addWidget(byCount_, 0, 0);
    typeGrid->addWidget(count_, 0, 1);
    typeGrid->addWidget(byTime_, 1, 0);
    typeGrid->addWidget(time_, 1, 1);
    typeGrid->addWidget(maximum_, 2, 0, 1, 2);
    auto* scope = new QGroupBox(Text(SplitDialogText::Scope), this);
    auto* scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(whole_);
    scopeLayout->addWidget(selectedTrack_);
    scopeLayout->addWidget(range_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(type);
    layout->addWidget(scope);
    layout->addWidget(automatic_);
    layout->addWidget(OkCancelButtons(this));

    connect(count_, &QSpinBox::valueChanged, this, [this] { byCount_->setChecked(true); });
    connect(time_, &QLineEdit::textEdited, this, [this] { byTime_->setChecked(true); });
    connect(whole_, &QRadioButton::toggled, this, &SpecialSplitDialog::UpdateScope);
    connect(automatic_, &QCheckBox::clicked, this, [this](bool on) {
        if (whole_->isChecked())
            settings::AutoAddSpecial.Write(settings_, on ? 1 : 0);
    });
    UpdateScope();
}

SpecialSplitRequest SpecialSplitDialog::Request() const {
    SpecialSplitRequest request;
    request.type =
        byTime_->isChecked() ? SpecialSplitType::FixedTime : SpecialSplitType::EqualParts;
    request.count = count_->value();
    request.stepMs = time_->Ms().value_or(0);
    request.scope =
        selectedTrack_->isChecked() ? SpecialSplitScope::SelectedTrack : SpecialSplitScope::Whole;
    request.scopeLengthMs = ScopeLength();
    return request;
}

void SpecialSplitDialog::accept() {
    SpecialSplitRequest request = Request();
    if (auto refusal = ValidateSpecialSplit(request)) {
        UserMessage message = refusal->message;
        // A text that is no time at all is named as typed, not as the zero it reads as.
        if (message.Is(Msg::InvalidPartLength))
            message = UserMessage(Msg::InvalidPartLength, time_->text().toStdString());
        messages_.Show(this, UserMessages::Icon::Error, message);
        if (refusal->field == SpecialSplitRefusal::Field::Count) {
            count_->setFocus();
            count_->selectAll();
        } else {
            time_->setFocus();
            time_->selectAll();
        }
        return;
    }
    settings::AddSpecialByTime.Write(settings_, static_cast<int>(time_->Ms().value_or(0)));
    settings::AddSpecialBySectionInDialog.Write(settings_, request.count);
    settings::AddSpecialTypeInDialog.Write(settings_, static_cast<int>(request.type));
    if (request.scope == SpecialSplitScope::Whole)
        settings::AutoAddSpecial.Write(settings_, automatic_->isChecked() ? 1 : 0);
    QDialog::accept();
}

std::uint64_t SpecialSplitDialog::ScopeLength() const {
    if (selectedTrack_->isChecked() && target_.track)
        return target_.track->end - target_.track->start;
    return target_.wholeLengthMs;
}

void SpecialSplitDialog::UpdateScope() {
    bool whole = whole_->isChecked();
    automatic_->setEnabled(whole);
    maximum_->setText(MessageText(Msg::ScopeMaximum, FormatTime(ScopeLength(), kTimeList)));
    if (whole && !target_.groupName.empty()) {
        range_->setText(QStringLiteral("[%1]").arg(QString::fromStdString(target_.groupName)));
    } else if (!whole && target_.track) {
        range_->setText(QStringLiteral("[%1-%2]").arg(ListTime(target_.track->start),
                                                      ListTime(target_.track->end)));
    } else {
        range_->setText(
            QStringLiteral("[%1-%2]").arg(ListTime(0), ListTime(target_.wholeLengthMs)));
    }
}

}  // namespace partita::gui
