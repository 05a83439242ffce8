#pragma once

#include <QString>

#include "app/user_message.h"

class QWidget;

namespace partita::gui {

// The message boxes of the window, behind an interface so that tests can answer them.
class UserMessages {
  public:
    enum class Icon { Information, Warning, Error };

    virtual ~UserMessages() = default;
    // A box with an OK button.
    virtual void Show(QWidget* parent, Icon icon, const QString& text) = 0;
    // The same for a message, formatted now in the current language.
    void Show(QWidget* parent, Icon icon, const UserMessage& message);
};

// Shows real message boxes captioned with the program's name.
class MessageBoxes : public UserMessages {
  public:
    using UserMessages::Show;
    void Show(QWidget* parent, Icon icon, const QString& text) override;
};

}  // namespace partita::gui
