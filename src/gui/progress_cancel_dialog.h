#pragma once

#include <QDialog>
#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;

namespace partita::gui {

// A small window-modal progress box with one text, a bar and Cancel, shown while a worker
// thread reads a file. Progress arrives through SetProgress (a slot, so a worker may call it
// through a queued connection); Cancel (or Escape, or closing the box) raises the flag the worker
// polls and emits CancelRequested once. The box stays until its owner closes it.
class ProgressCancelDialog : public QDialog {
    Q_OBJECT

  public:
    ProgressCancelDialog(const QString& title, const QString& text, QWidget* parent);

    // Safe from any thread.
    bool CancelRequested() const { return cancelled_.load(); }

    // Closes the box once the work has ended (closing it otherwise counts as Cancel).
    void Finish() { QDialog::done(QDialog::Accepted); }

  public slots:
    void SetProgress(int percent);
    void SetText(const QString& text);

  signals:
    void Cancelled();

  protected:
    // Whether a Cancel click stops the work; the default agrees at once.
    virtual bool ConfirmCancel() { return true; }
    void reject() override;

  private:
    QLabel* text_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace partita::gui
