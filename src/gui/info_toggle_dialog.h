#pragma once

#include <QMessageBox>
#include <string>

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The information box with a tick that stops it: OK, and Cancel where the caller asks. Its
// toggle is the value `toggleName` of section "LodeDialogToggle" (1 show, 0 stop showing), which
// every click of the tick writes at once.
class InfoToggleDialog : public QMessageBox {
    Q_OBJECT

  public:
    InfoToggleDialog(SettingsStore& settings, std::string toggleName, const QString& text,
                     bool withCancel, QWidget* parent);

    // True once the box is closed with OK (or Escape when there is no Cancel).
    bool Confirmed() const { return clickedButton() == ok_; }

    // Shows the box unless its toggle is off; true for OK, and when it is not shown.
    static bool ShowUnlessTurnedOff(SettingsStore& settings, const std::string& toggleName,
                                    const QString& text, bool withCancel, QWidget* parent);

  private:
    QAbstractButton* ok_;
};

}  // namespace partita::gui
