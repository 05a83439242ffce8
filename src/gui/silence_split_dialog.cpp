#include "silence_split_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "dialog_buttons.h"
#include "split_dialog_text.h"

namespace partita::gui {
namespace {

QString LevelText(int tenthsBelowFullScale) {
    return QString::number(-tenthsBelowFullScale / 10.0, 'f', 1);
}

QSlider* Slider(int low, int high, int single, int page, int tick, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(low, high);
    slider->setSingleStep(single);
    slider->setPageStep(page);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setMinimumWidth(260);
    return slider;
}

}  // namespace

SilenceSplitDialog::SilenceSplitDialog(SettingsStore& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      level_(new QLineEdit(this)),
      levelSlider_(Slider(-900, -100, 1, 10, 100, this)),
      length_(new QLineEdit(this)),
      lengthSlider_(Slider(100, 10000, 10, 500, 500, this)),
      exclude_(new QCheckBox(Text(SplitDialogText::ExcludeSilence), this)) {
    setWindowTitle(Text(SplitDialogText::SilenceTitle));
    level_->setObjectName(QStringLiteral("Level"));
    // Out-of-range levels may be typed; OK brings them into range.
    level_->setValidator(new QDoubleValidator(-999.9, 999.9, 1, level_));
    level_->setMaximumWidth(90);
    levelSlider_->setObjectName(QStringLiteral("LevelSlider"));
    levelSlider_->setAccessibleName(Text(SplitDialogText::SilenceLevelSlider));
    length_->setObjectName(QStringLiteral("Length"));
    length_->setValidator(new QIntValidator(0, 999999, length_));
    length_->setMaximumWidth(90);
    lengthSlider_->setObjectName(QStringLiteral("LengthSlider"));
    lengthSlider_->setAccessibleName(Text(SplitDialogText::SilenceLengthSlider));
    exclude_->setObjectName(QStringLiteral("Exclude"));

    auto* group = new QGroupBox(Text(SplitDialogText::SilenceGroup), this);
    auto* grid = new QGridLayout(group);
    auto* levelLabel = new QLabel(Text(SplitDialogText::SilenceLevel), group);
    levelLabel->setBuddy(level_);
    auto* lengthLabel = new QLabel(Text(SplitDialogText::SilenceLength), group);
    lengthLabel->setBuddy(length_);
    grid->addWidget(levelLabel, 0, 0);
    grid->addWidget(level_, 0, 1);
    grid->addWidget(levelSlider_, 0, 2);
    grid->addWidget(lengthLabel, 1, 0);
    grid->addWidget(length_, 1, 1);
    grid->addWidget(lengthSlider_, 1, 2);
    grid->addWidget(exclude_, 2, 0, 1, 3);

    QDialogButtonBox* buttons = OkCancelButtons(this, Text(SplitDialogText::StartDetection));
    auto* defaults = new QPushButton(Text(SplitDialogText::Defaults), this);
    defaults->setObjectName(QStringLiteral("Defaults"));
    defaults->setAutoDefault(false);
    buttons->addButton(defaults, QDialogButtonBox::ResetRole);
    connect(defaults, &QPushButton::clicked, this, [this] { SetValues(SilenceOptions{}); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);

    connect(levelSlider_, &QSlider::valueChanged, this,
            [this](int value) { level_->setText(LevelText(-value)); });
    connect(lengthSlider_, &QSlider::valueChanged, this,
            [this](int value) { length_->setText(QString::number(value)); });
    connect(level_, &QLineEdit::textEdited, this, &SilenceSplitDialog::LevelTyped);
    connect(length_, &QLineEdit::textEdited, this, &SilenceSplitDialog::LengthTyped);
    SetValues(SilenceOptions::Read(settings));
}

SilenceOptions SilenceSplitDialog::Options() const {
    SilenceOptions options;
    bool ok = false;
    double db = level_->text().toDouble(&ok);
    options.levelTenthsDb = ok ? static_cast<int>(std::lround(-db * 10)) : -levelSlider_->value();
    int ms = length_->text().toInt(&ok);
    options.minLengthMs = ok ? ms : lengthSlider_->value();
    options.excludeSilence = exclude_->isChecked();
    return options.Clamped();
}

void SilenceSplitDialog::accept() {
    SilenceOptions options = Options();
    options.Write(settings_);
    SetValues(options);
    QDialog::accept();
}

void SilenceSplitDialog::SetValues(const SilenceOptions& options) {
    levelSlider_->setValue(-options.levelTenthsDb);
    level_->setText(LevelText(options.levelTenthsDb));
    lengthSlider_->setValue(options.minLengthMs);
    length_->setText(QString::number(options.minLengthMs));
    exclude_->setChecked(options.excludeSilence);
}

void SilenceSplitDialog::LevelTyped() {
    bool ok = false;
    double db = level_->text().toDouble(&ok);
    if (!ok)
        return;
    // The slider follows without rewriting what is being typed.
    QSignalBlocker quiet(levelSlider_);
    levelSlider_->setValue(static_cast<int>(std::lround(db * 10)));
}

void SilenceSplitDialog::LengthTyped() {
    bool ok = false;
    int ms = length_->text().toInt(&ok);
    if (!ok)
        return;
    QSignalBlocker quiet(lengthSlider_);
    lengthSlider_->setValue(ms);
}

}  // namespace partita::gui
