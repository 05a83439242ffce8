#pragma once

#include <QDialog>

#include "app/job_host.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace partita::gui {

// The question before an output replaces an existing file, shared by the split and the merge:
// the file's path, a copy of it to edit with its save-as browser once "save under another name" is
// ticked, Yes / Yes to all / Skip, and the tick that stops the question. Escape skips.
class OverwriteDialog : public QDialog {
    Q_OBJECT

  public:
    OverwriteDialog(const QString& path, QWidget* parent);

    // The answer once the dialog is closed. Yes with "another name" ticked and a path other than
    // the existing one's answers OtherName with that path.
    OverwriteReply Reply() const;

  private:
    void Answer(OverwriteAnswer answer);
    void Browse();
    void UpdateControls();

    QString path_;
    QCheckBox* otherName_;
    QLineEdit* otherPath_;
    QPushButton* browse_;
    QCheckBox* dontAsk_;
    QPushButton* yes_;
    OverwriteAnswer answer_ = OverwriteAnswer::Skip;
};

}  // namespace partita::gui
