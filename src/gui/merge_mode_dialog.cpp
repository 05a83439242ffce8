#include "merge_mode_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/setting_values.h"
#include "join_dialog_text.h"
#include "ok_cancel_buttons.h"

namespace partita::gui {

MergeModeDialog::MergeModeDialog(MergeMode mode, int sampleRate, int channels,
                                 SettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(Text(JoinDialogText::MergeModeTitle));

    auto* modeGroup = new QGroupBox(Text(JoinDialogText::MergeModeTitle), this);
    auto* modeLayout = new QVBoxLayout(modeGroup);
    const JoinDialogText labels[3] = {JoinDialogText::ModeAuto, JoinDialogText::ModeDirect,
                                      JoinDialogText::ModeConvert};
    const QString names[3] = {QStringLiteral("Auto"), QStringLiteral("Direct"),
                              QStringLiteral("Convert")};
    for (int i = 0; i < 3; ++i) {
        modes_[i] = new QRadioButton(Text(labels[i]), modeGroup);
        modes_[i]->setObjectName(names[i]);
        modeLayout->addWidget(modes_[i]);
    }
    int modeIndex = static_cast<int>(mode);
    modes_[modeIndex >= 0 && modeIndex < 3 ? modeIndex : 0]->setChecked(true);

    auto* formatGroup = new QGroupBox(Text(JoinDialogText::ConvertFormat), this);
    sampleRate_ = new QComboBox(formatGroup);
    sampleRate_->setObjectName(QStringLiteral("SampleRate"));
    sampleRate_->setAccessibleName(AccessibleText(JoinDialogText::SampleRate));
    sampleRate_->addItem(Text(JoinDialogText::Automatic), 0);
    for (int rate : kSampleRates)
        sampleRate_->addItem(QString::number(rate), rate);
    // A rate the list does not offer selects nothing and is kept as it is.
    sampleRate_->setCurrentIndex(sampleRate_->findData(sampleRate));
    if (sampleRate_->currentIndex() < 0)
        unlistedRate_ = sampleRate;

    channels_ = new QComboBox(formatGroup);
    channels_->setObjectName(QStringLiteral("Channels"));
    channels_->setAccessibleName(AccessibleText(JoinDialogText::Channels));
    channels_->addItem(Text(JoinDialogText::Automatic), 0);
    channels_->addItem(Text(JoinDialogText::Mono), 1);
    channels_->addItem(Text(JoinDialogText::Stereo), 2);
    channels_->setCurrentIndex(std::max(0, channels_->findData(channels)));

    auto* form = new QFormLayout(formatGroup);
    auto* rateLabel = new QLabel(Text(JoinDialogText::SampleRate), formatGroup);
    rateLabel->setBuddy(sampleRate_);
    auto* channelLabel = new QLabel(Text(JoinDialogText::Channels), formatGroup);
    channelLabel->setBuddy(channels_);
    form->addRow(rateLabel, sampleRate_);
    form->addRow(channelLabel, channels_);

    OkCancelButtons buttons = MakeOkCancelButtons(this, [this] { Store(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modeGroup);
    layout->addWidget(formatGroup);
    layout->addWidget(buttons.box);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    modes_[modeIndex >= 0 && modeIndex < 3 ? modeIndex : 0]->setFocus();
}

MergeMode MergeModeDialog::Mode() const {
    for (int i = 0; i < 3; ++i) {
        if (modes_[i]->isChecked())
            return static_cast<MergeMode>(i);
    }
    return MergeMode::Auto;
}

int MergeModeDialog::SampleRate() const {
    return sampleRate_->currentIndex() < 0 ? unlistedRate_ : sampleRate_->currentData().toInt();
}

int MergeModeDialog::Channels() const {
    return channels_->currentData().toInt();
}

void MergeModeDialog::Store() {
    settings::MergeMode.Write(settings_, static_cast<int>(Mode()));
    settings::OutputSamplerate.Write(settings_, SampleRate());
    settings::OutputChannel.Write(settings_, Channels());
}

}  // namespace partita::gui
