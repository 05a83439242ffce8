#pragma once

#include <QDialog>

#include "split/split_row.h"

namespace partita::gui {

class SplitTimeEdit;
class UserMessages;

// Both boundaries of one track at once. OK refuses a text that is not a time (string 2150); the
// caller applies a changed start, then a changed end, through the list's track updates, which
// refuse a start not before the end and an end not after the start.
class TrackTimesDialog : public QDialog {
    Q_OBJECT

  public:
    // `trackNumber` is 1-based among the source's `trackCount` tracks.
    TrackTimesDialog(int trackNumber, int trackCount, TrackTimes times, UserMessages& messages,
                     QWidget* parent);

    TrackTimes Times() const;
    bool StartChanged() const { return Times().start != original_.start; }
    bool EndChanged() const { return Times().end != original_.end; }

    void accept() override;

  private:
    UserMessages& messages_;
    TrackTimes original_;
    SplitTimeEdit* start_;
    SplitTimeEdit* end_;
};

}  // namespace partita::gui
