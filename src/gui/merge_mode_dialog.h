#pragma once

#include <QDialog>
#include <array>

#include "join/merge_job.h"

class QComboBox;
class QRadioButton;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The merge mode (auto, direct, convert) and the output format of a converting merge: sample
// rate and channels, each with an automatic entry (0). Opens with the values given (a rate not
// in the list selects nothing and is kept); OK stores "Merge Mode", "Output Samplerate" and
// "Output Channel".
class MergeModeDialog : public QDialog {
    Q_OBJECT

  public:
    MergeModeDialog(MergeMode mode, int sampleRate, int channels, SettingsStore& settings,
                    QWidget* parent);

    // The sample rates the list offers after its automatic entry.
    static constexpr std::array kSampleRates{8000,  11025, 12000, 16000, 22050,
                                             24000, 32000, 44100, 48000};

    MergeMode Mode() const;
    int SampleRate() const;
    int Channels() const;

  private:
    void Store();

    SettingsStore& settings_;
    std::array<QRadioButton*, 3> modes_{};
    QComboBox* sampleRate_ = nullptr;
    QComboBox* channels_ = nullptr;
    int unlistedRate_ = 0;
};

}  // namespace partita::gui
