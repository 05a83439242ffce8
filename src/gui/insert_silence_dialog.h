#pragma once

#include <QDialog>
#include <cstddef>
#include <span>

#include "merge_rows_target.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace partita {
class MergeList;
class SettingsStore;
}  // namespace partita

namespace partita::gui {

// The seconds the silence dialog opens with: the first selected row's silence when it has one,
// else the stored "Silence Length".
int SilenceDialogStartSeconds(const MergeList& list, std::span<const std::size_t> selected,
                              int storedSeconds);

// The silence to insert after files: seconds (0 for none), the tick that gives new rows the same
// silence, and three buttons. Apply and Apply to all close the dialog with the rows to give the
// seconds to; Save stores the seconds as "Silence Length" and the tick as "Auto Apply Silence",
// and closes the dialog when there is nothing to apply to. The dialog never changes the list.
class InsertSilenceDialog : public QDialog {
    Q_OBJECT

  public:
    // `canApply`: the list has rows and some are selected; otherwise both apply buttons are off.
    InsertSilenceDialog(int seconds, bool autoApply, bool canApply, SettingsStore& settings,
                        QWidget* parent);

    int Seconds() const;
    bool AutoApply() const;
    // The rows the seconds go to once the dialog is accepted; None after Save or a cancel.
    MergeRowsTarget Target() const { return target_; }

  private:
    void Finish(MergeRowsTarget target);
    void Save();

    SettingsStore& settings_;
    QSpinBox* seconds_ = nullptr;
    QCheckBox* autoApply_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* applyAll_ = nullptr;
    bool canApply_ = false;
    MergeRowsTarget target_ = MergeRowsTarget::None;
};

}  // namespace partita::gui
