#pragma once

#include <QString>

class QWidget;

namespace partita::gui {

// The message boxes of the window, behind an interface so that tests can answer them.
class UserMessages {
  public:
    enum class Icon { Information, Warning, Error };

    virtual ~UserMessages() = default;
    // A box with an OK button.
    virtual void Show(QWidget* parent, Icon icon, const QString& text) = 0;
};

// Shows real message boxes captioned with the program's name.
class MessageBoxes : public UserMessages {
  public:
    void Show(QWidget* parent, Icon icon, const QString& text) override;
};

}  // namespace partita::gui
