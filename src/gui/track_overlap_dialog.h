#pragma once

#include <QDialog>
#include <string>

#include "split/overlaps.h"
#include "split/track_tools.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace partita {
class SettingsStore;
}

namespace partita::gui {

class SplitTimeEdit;
class UserMessages;

// The backward and forward overlaps and where they go: the whole source (or group), the selected
// track or the listed sections. It opens with the stored "FW Overlap", "BW Overlap" and "Auto
// Overlap"; OK stores both overlaps (and, with the whole scope, "Auto Overlap"); ticking the
// automatic application with the whole scope stores "Auto Overlap" at once.
class TrackOverlapDialog : public QDialog {
    Q_OBJECT

  public:
    TrackOverlapDialog(bool trackSelected, SettingsStore& settings, UserMessages& messages,
                       QWidget* parent);

    Overlaps Values() const;
    OverlapScope Scope() const;
    // The sections typed, such as "1,3,6-8" (for OverlapScope::Sections).
    std::string Sections() const;

    void accept() override;

  private:
    void UpdateEnabled();

    SettingsStore& settings_;
    UserMessages& messages_;
    SplitTimeEdit* backward_;
    SplitTimeEdit* forward_;
    QRadioButton* whole_;
    QRadioButton* selectedTrack_;
    QRadioButton* sections_;
    QLineEdit* sectionList_;
    QCheckBox* automatic_;
};

}  // namespace partita::gui
