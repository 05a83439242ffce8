#include "partial_merge_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <optional>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "dialog_text.h"
#include "join_dialog_text.h"
#include "ui_text.h"

namespace partita::gui {
namespace {

using EndMode = PartialMergeSettings::EndMode;

// The settings keep milliseconds as 32-bit numbers, so no field takes more than they hold
// (about 596 hours); a longer time would come back wrapped.
constexpr std::uint64_t kMostStorableMs = INT_MAX;

constexpr JoinDialogText kModeLabels[3] = {
    JoinDialogText::EndPosition, JoinDialogText::LengthBeforeEnd, JoinDialogText::LengthFromStart};

QString TimeText(std::uint64_t ms) {
    return ToQString(FormatTime(ms, kTimeHourMinSec));
}

// H:MM:SS with minutes and seconds under 60; nullopt for anything else.
std::optional<std::uint64_t> ReadTime(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\s*\\d{1,4}:[0-5]?\\d:[0-5]?\\d\\s*$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return ParseTime(text.trimmed().toStdString(), kTimeHourMinSec);
}

}  // namespace

PartialMergeDialog::PartialMergeDialog(const MergeList& list, std::span<const std::size_t> selected,
                                       const PartialMergeSettings& partial, bool autoApply,
                                       SettingsStore& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      anySelected_(!selected.empty()),
      anyRows_(!list.Empty()),
      chosen_(partial),
      chosenAutoApply_(autoApply) {
    setWindowTitle(Text(JoinDialogText::PartialMergeTitle));

    QString name = Text(JoinDialogText::NotAvailable);
    QString length = name;
    if (selected.size() == 1 && selected.front() < list.Size()) {
        const MergeRow& row = list.Row(selected.front());
        name = ToQString(row.fileName);
        length = TimeText(row.lengthMs);
        maxMs_ = row.lengthMs;
    } else if (selected.size() > 1) {
        name = Text(JoinDialogText::FilesSelected).arg(selected.size());
    }
    maxMs_ = std::min(maxMs_, kMostStorableMs);

    auto* info = new QGridLayout;
    auto addInfo = [&](int row, JoinDialogText label, const QString& value) {
        info->addWidget(new QLabel(Text(label), this), row, 0);
        auto* shown = new QLabel(value, this);
        shown->setObjectName(row == 0 ? QStringLiteral("FileName") : QStringLiteral("Length"));
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        info->addWidget(shown, row, 1);
    };
    addInfo(0, JoinDialogText::FileName, name);
    addInfo(1, JoinDialogText::Length, length);
    info->setColumnStretch(1, 1);

    enable_ = new QCheckBox(Text(JoinDialogText::EnablePartial), this);
    enable_->setObjectName(QStringLiteral("Enable"));
    enable_->setChecked(partial.enabled);

    auto* validator = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\s*\\d{0,4}(:\\d{0,2}){0,2}\\s*")), this);
    auto makeTime = [&](const QString& objectName, JoinDialogText label, std::uint64_t ms) {
        auto* edit = new QLineEdit(TimeText(std::min(ms, maxMs_)), this);
        edit->setObjectName(objectName);
        edit->setValidator(validator);
        edit->setAccessibleName(AccessibleText(label));
        edit->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000:00:00")) + 16);
        connect(edit, &QLineEdit::textChanged, this, &PartialMergeDialog::UpdateEnabled);
        return edit;
    };
    start_ = makeTime(QStringLiteral("Start"), JoinDialogText::StartTime, partial.startMs);
    auto* startLabel = new QLabel(Text(JoinDialogText::StartTime), this);
    startLabel->setBuddy(start_);

    auto* times = new QGridLayout;
    times->addWidget(startLabel, 0, 0);
    times->addWidget(start_, 0, 1);
    const std::uint64_t endValues[3] = {partial.endPositionMs, partial.lengthBeforeEndMs,
                                        partial.lengthFromStartMs};
    const QString names[3] = {QStringLiteral("EndPosition"), QStringLiteral("LengthBeforeEnd"),
                              QStringLiteral("LengthFromStart")};
    for (int i = 0; i < 3; ++i) {
        modes_[i] = new QRadioButton(Text(kModeLabels[i]), this);
        modes_[i]->setObjectName(names[i] + QStringLiteral("Mode"));
        ends_[i] = makeTime(names[i], kModeLabels[i], endValues[i]);
        times->addWidget(modes_[i], i + 1, 0);
        times->addWidget(ends_[i], i + 1, 1);
    }
    modes_[static_cast<int>(partial.mode)]->setChecked(true);
    for (QRadioButton* mode : modes_)
        connect(mode, &QRadioButton::toggled, this, &PartialMergeDialog::UpdateEnabled);
    times->setColumnStretch(0, 1);

    invalid_ = new QLabel(MessageText(Msg::TimeTextInvalid), this);
    invalid_->setObjectName(QStringLiteral("InvalidTime"));
    invalid_->setWordWrap(true);
    invalid_->setStyleSheet(QStringLiteral("color: #b00020"));

    autoApply_ = new QCheckBox(Text(JoinDialogText::ApplyToNewFiles), this);
    autoApply_->setObjectName(QStringLiteral("AutoApply"));
    autoApply_->setChecked(autoApply);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(Text(JoinDialogText::PartialOk), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("Ok"));
    ok_->setDefault(true);
    applyAll_ = buttons->addButton(Text(JoinDialogText::ApplyAll), QDialogButtonBox::ActionRole);
    applyAll_->setObjectName(QStringLiteral("ApplyAll"));
    QPushButton* cancel =
        buttons->addButton(Text(DialogText::Cancel), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(ok_, &QPushButton::clicked, this,
            [this] { Finish(anySelected_ ? MergeRowsTarget::Selected : MergeRowsTarget::None); });
    connect(applyAll_, &QPushButton::clicked, this,
            [this] { Finish(anyRows_ ? MergeRowsTarget::All : MergeRowsTarget::None); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(enable_, &QCheckBox::toggled, this, &PartialMergeDialog::UpdateEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(info);
    layout->addSpacing(6);
    layout->addWidget(enable_);
    layout->addLayout(times);
    layout->addWidget(invalid_);
    layout->addWidget(autoApply_);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    UpdateEnabled();
    enable_->setFocus();
}

void PartialMergeDialog::UpdateEnabled() {
    const bool on = enable_->isChecked();
    start_->setEnabled(on);
    bool valid = ReadTime(start_->text()).has_value();
    for (int i = 0; i < 3; ++i) {
        modes_[i]->setEnabled(on);
        ends_[i]->setEnabled(on && modes_[i]->isChecked());
        valid = valid && ReadTime(ends_[i]->text()).has_value();
    }
    invalid_->setVisible(!valid);
    ok_->setEnabled(valid);
    applyAll_->setEnabled(valid);
}

void PartialMergeDialog::Finish(MergeRowsTarget target) {
    auto read = [this](QLineEdit* edit) {
        return std::min(ReadTime(edit->text()).value_or(0), maxMs_);
    };
    PartialMergeSettings chosen;
    chosen.enabled = enable_->isChecked();
    chosen.mode = EndMode::Position;
    for (int i = 0; i < 3; ++i) {
        if (modes_[i]->isChecked())
            chosen.mode = static_cast<EndMode>(i);
    }
    chosen.startMs = read(start_);
    chosen.endPositionMs = read(ends_[0]);
    chosen.lengthBeforeEndMs = read(ends_[1]);
    chosen.lengthFromStartMs = read(ends_[2]);
    if (chosen.mode == EndMode::Position)
        chosen.endPositionMs = std::max(chosen.endPositionMs, chosen.startMs);
    chosen_ = chosen;
    chosenAutoApply_ = autoApply_->isChecked();

    using namespace settings;
    auto ms = [](std::uint64_t value) { return static_cast<int>(value); };
    PartialMergeEnable.Write(settings_, chosen.enabled ? 1 : 0);
    PartialMergeMode.Write(settings_, static_cast<int>(chosen.mode));
    PartialMergeStart.Write(settings_, ms(chosen.startMs));
    PartialMergeEndPos.Write(settings_, ms(chosen.endPositionMs));
    PartialMergeLength2End.Write(settings_, ms(chosen.lengthBeforeEndMs));
    PartialMergeLength.Write(settings_, ms(chosen.lengthFromStartMs));
    PartialMergeAutoApply.Write(settings_, chosenAutoApply_ ? 1 : 0);
    target_ = target;
    accept();
}

}  // namespace partita::gui
