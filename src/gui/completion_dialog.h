#pragma once

#include <QDialog>
#include <utility>
#include <vector>

#include "app/job_host.h"
#include "dialog_text.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace partita::gui {

// What the finished-job dialogs share: the message with its icon, a summary line below it (hidden
// while empty), the ticks and the buttons of each kind of job. Every button closes the dialog;
// the reply holds the ticks and the button that closed it, also after Escape.
class CompletionDialog : public QDialog {
    Q_OBJECT

  public:
    // A line such as the counts of written, failed and skipped tracks.
    void SetSummary(const QString& line);
    QString Summary() const;

    CompletionReply Reply() const;

  protected:
    CompletionDialog(const QString& title, const UserMessage& message, QWidget* parent);

    // A tick that gives one answer of the reply.
    void AddTick(DialogText label, const QString& name, bool checked,
                 bool CompletionReply::*answer);
    // A button that closes the dialog, setting one answer of the reply when given.
    QPushButton* AddButton(DialogText label, const QString& name,
                           bool CompletionReply::*answer = nullptr);

  private:
    QLabel* summary_;
    QVBoxLayout* ticks_;
    QDialogButtonBox* buttons_;
    std::vector<std::pair<QCheckBox*, bool CompletionReply::*>> tickAnswers_;
    CompletionReply pressed_;
};

}  // namespace partita::gui
