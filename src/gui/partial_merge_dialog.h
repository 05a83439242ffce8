#pragma once

#include <QDialog>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "join/merge_list.h"
#include "merge_rows_target.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The partial range of files: the selected file's name and length (or the number of files
// selected), the enable tick, the start, three ways to find the end each with its own time, and
// the tick that gives files added later the same range. OK and Apply to all store the seven
// partial-merge settings and close the dialog; the page then applies the stored settings to the
// selected rows (none when nothing is selected) or to all rows. Times are H:MM:SS, at most the
// selected file's length (9999 hours when it is not one file, and never more than the settings
// hold); both buttons are off while a time does not read. The dialog never changes the list.
class PartialMergeDialog : public QDialog {
    Q_OBJECT

  public:
    PartialMergeDialog(const MergeList& list, std::span<const std::size_t> selected,
                       const PartialMergeSettings& partial, bool autoApply, SettingsStore& settings,
                       QWidget* parent);

    // What the user chose, as stored: in end-position mode an end before the start is raised to
    // the start.
    PartialMergeSettings Settings() const { return chosen_; }
    bool AutoApply() const { return chosenAutoApply_; }
    MergeRowsTarget Target() const { return target_; }

    // The longest time a field takes when not exactly one file is selected: 9999 hours.
    static constexpr std::uint64_t kMaxTimeMs = 9999ull * 3600 * 1000;

  private:
    void Finish(MergeRowsTarget target);
    void UpdateEnabled();

    SettingsStore& settings_;
    std::uint64_t maxMs_ = kMaxTimeMs;
    bool anySelected_ = false;
    bool anyRows_ = false;
    QCheckBox* enable_ = nullptr;
    QLineEdit* start_ = nullptr;
    std::array<QRadioButton*, 3> modes_{};
    std::array<QLineEdit*, 3> ends_{};
    QCheckBox* autoApply_ = nullptr;
    QLabel* invalid_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* applyAll_ = nullptr;
    PartialMergeSettings chosen_;
    bool chosenAutoApply_ = false;
    MergeRowsTarget target_ = MergeRowsTarget::None;
};

}  // namespace partita::gui
