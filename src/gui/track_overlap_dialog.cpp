#include "track_overlap_dialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/setting_values.h"
#include "dialog_buttons.h"
#include "split_dialog_text.h"
#include "split_time_edit.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {

TrackOverlapDialog::TrackOverlapDialog(bool trackSelected, SettingsStore& settings,
                                       UserMessages& messages, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      messages_(messages),
      backward_(new SplitTimeEdit(this)),
      forward_(new SplitTimeEdit(this)),
      whole_(new QRadioButton(Text(SplitDialogText::WholeMp3), this)),
      selectedTrack_(new QRadioButton(Text(SplitDialogText::SelectedTrack), this)),
      sections_(new QRadioButton(Text(SplitDialogText::SelectedSections), this)),
      sectionList_(new QLineEdit(this)),
      automatic_(new QCheckBox(Text(SplitDialogText::AutoApply), this)) {
    setWindowTitle(Text(SplitDialogText::OverlapTitle));
    OverlapSettings stored = OverlapSettings::Read(settings);
    backward_->setObjectName(QStringLiteral("Backward"));
    backward_->SetMs(stored.overlaps.backwardMs);
    forward_->setObjectName(QStringLiteral("Forward"));
    forward_->SetMs(stored.overlaps.forwardMs);
    whole_->setObjectName(QStringLiteral("Whole"));
    whole_->setChecked(true);
    selectedTrack_->setObjectName(QStringLiteral("SelectedTrack"));
    selectedTrack_->setEnabled(trackSelected);
    sections_->setObjectName(QStringLiteral("Sections"));
    sectionList_->setObjectName(QStringLiteral("SectionList"));
    sectionList_->setAccessibleName(Text(SplitDialogText::SelectedSections).remove('&'));
    sectionList_->setToolTip(MessageText(Msg::SectionListHint));
    automatic_->setObjectName(QStringLiteral("Automatic"));
    automatic_->setChecked(stored.automatic);
    auto* hint = new QLabel(MessageText(Msg::SectionListHint), this);
    hint->setWordWrap(true);

    auto* times = new QGroupBox(Text(SplitDialogText::OverlapGroup), this);
    auto* form = new QFormLayout(times);
    form->addRow(Text(SplitDialogText::Backward), backward_);
    form->addRow(Text(SplitDialogText::Forward), forward_);
    auto* scope = new QGroupBox(Text(SplitDialogText::Scope), this);
    auto* scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(whole_);
    scopeLayout->addWidget(selectedTrack_);
    auto* sectionRow = new QHBoxLayout;
    sectionRow->addWidget(sections_);
    sectionRow->addWidget(sectionList_, 1);
    scopeLayout->addLayout(sectionRow);
    scopeLayout->addWidget(hint);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(times);
    layout->addWidget(scope);
    layout->addWidget(automatic_);
    layout->addWidget(OkCancelButtons(this));
    setMinimumWidth(440);

    connect(sectionList_, &QLineEdit::textEdited, this, [this] { sections_->setChecked(true); });
    connect(whole_, &QRadioButton::toggled, this, &TrackOverlapDialog::UpdateEnabled);
    connect(automatic_, &QCheckBox::clicked, this, [this](bool on) {
        if (whole_->isChecked())
            settings::AutoOverlap.Write(settings_, on ? 1 : 0);
    });
    UpdateEnabled();
}

Overlaps TrackOverlapDialog::Values() const {
    return {backward_->Ms().value_or(0), forward_->Ms().value_or(0)};
}

OverlapScope TrackOverlapDialog::Scope() const {
    if (selectedTrack_->isChecked())
        return OverlapScope::SelectedItem;
    return sections_->isChecked() ? OverlapScope::Sections : OverlapScope::Whole;
}

std::string TrackOverlapDialog::Sections() const {
    return sectionList_->text().trimmed().toStdString();
}

void TrackOverlapDialog::accept() {
    if (!SplitTimeEdit::AllTimes({backward_, forward_}, messages_, this))
        return;
    OverlapSettings values{Values(), automatic_->isChecked()};
    values.Write(settings_, Scope() == OverlapScope::Whole);
    QDialog::accept();
}

void TrackOverlapDialog::UpdateEnabled() {
    automatic_->setEnabled(whole_->isChecked());
}

}  // namespace partita::gui
