#pragma once

#include <QDialog>

class QSpinBox;

namespace partita::gui {

// The two step sizes of the position (ms): one step (arrow keys) and one page (PgUp/PgDn). The
// caller stores them as "Time Step Size" and "Time Page Size".
class TimeStepDialog : public QDialog {
    Q_OBJECT

  public:
    TimeStepDialog(int stepMs, int pageMs, QWidget* parent);

    int StepMs() const;
    int PageMs() const;

  private:
    QSpinBox* step_;
    QSpinBox* page_;
};

}  // namespace partita::gui
