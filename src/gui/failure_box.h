#pragma once

#include <QMessageBox>

#include "app/job_host.h"

namespace partita::gui {

// A failure of one output or source: Abort, Retry or Ignore, with the error icon. Escape aborts.
class FailureBox : public QMessageBox {
    Q_OBJECT

  public:
    FailureBox(const QString& text, QWidget* parent);

    FailureAnswer Answer() const;

  private:
    QAbstractButton* retry_;
    QAbstractButton* ignore_;
};

}  // namespace partita::gui
