#pragma once

#include "progress_cancel_dialog.h"

namespace partita::gui {

// The progress of a silence scan: string 318 with the silences found so far and the file name.
// Cancel asks string 301 first; the scan stops only on OK.
class SilenceScanProgress : public ProgressCancelDialog {
    Q_OBJECT

  public:
    SilenceScanProgress(const QString& fileName, QWidget* parent);

  public slots:
    void SetFound(int silences);

  protected:
    bool ConfirmCancel() override;

  private:
    QString fileName_;
};

}  // namespace partita::gui
