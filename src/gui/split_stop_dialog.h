#pragma once

#include <QMessageBox>

#include "app/job_host.h"

namespace partita::gui {

// The question when Stop is pressed during a split: stop this source, stop the whole split, or
// go on (also Escape).
class SplitStopDialog : public QMessageBox {
    Q_OBJECT

  public:
    SplitStopDialog(const QString& sourceName, QWidget* parent);

    StopAnswer Answer() const;

  private:
    QAbstractButton* stopSource_;
    QAbstractButton* stopAll_;
};

}  // namespace partita::gui
