#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

#include "split/special_split.h"
#include "split/split_row.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

class SplitTimeEdit;
class UserMessages;

// What the special split acts on, as the page finds it for the selected row.
struct SpecialSplitTarget {
    std::string groupName;            // a group is selected (its length counts as 100 hours)
    std::uint64_t wholeLengthMs = 0;  // the source's duration, or kGroupScopeLengthMs
    std::optional<TrackTimes> track;  // a track is selected: its times
};

// Equal parts or pieces of a fixed length, over the whole source (or group) or inside the
// selected track. It opens with the stored "Add Special ..." values and scope 0; OK refuses what
// ValidateSpecialSplit refuses (the message shown, the field focused), then stores the values.
// Ticking the automatic application with the whole scope stores "Auto Add Special" at once.
class SpecialSplitDialog : public QDialog {
    Q_OBJECT

  public:
    SpecialSplitDialog(const SpecialSplitTarget& target, SettingsStore& settings,
                       UserMessages& messages, QWidget* parent);

    // The request after OK (its scope length filled in).
    SpecialSplitRequest Request() const;

    void accept() override;

  private:
    std::uint64_t ScopeLength() const;
    void UpdateScope();

    SpecialSplitTarget target_;
    SettingsStore& settings_;
    UserMessages& messages_;
    QRadioButton* byCount_;
    QRadioButton* byTime_;
    QSpinBox* count_;
    SplitTimeEdit* time_;
    QRadioButton* whole_;
    QRadioButton* selectedTrack_;
    QCheckBox* automatic_;
    QLabel* maximum_;
    QLabel* range_;
};

}  // namespace partita::gui
