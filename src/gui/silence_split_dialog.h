#pragma once

#include <QDialog>

#include "split/silence_detector.h"

class QCheckBox;
class QLineEdit;
class QSlider;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The parameters of split by silence: the threshold in dB (an edit tied to a slider in tenths,
// -90.0 to -10.0), the minimum length in ms (100 to 10000) and whether the silences are left
// out. It opens with the stored values; OK (start detection) clamps them and stores all three.
class SilenceSplitDialog : public QDialog {
    Q_OBJECT

  public:
    SilenceSplitDialog(SettingsStore& settings, QWidget* parent);

    // The values after OK, clamped.
    SilenceOptions Options() const;

    void accept() override;

  private:
    void SetValues(const SilenceOptions& options);
    void LevelTyped();
    void LengthTyped();

    SettingsStore& settings_;
    QLineEdit* level_;
    QSlider* levelSlider_;
    QLineEdit* length_;
    QSlider* lengthSlider_;
    QCheckBox* exclude_;
};

}  // namespace partita::gui
