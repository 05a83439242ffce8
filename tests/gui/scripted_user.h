#pragma once

#include <gtest/gtest.h>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

class QAbstractButton;

namespace partita::gui::test {

// Answers the modal windows a test's code opens, as a user would. Each modal window that
// comes to the top is handed to the next step, which clicks and types in it; a window that comes
// back to the top (after a box it opened closed) counts as a new one. Steps run from the event
// loop of the modal window, on the window thread, so they work while a job waits on a worker
// thread as well as inside a job run on the window thread. A modal window nobody expects, or of
// another kind than expected, fails the test and is closed.
class ScriptedUser : public QObject {
  public:
    ScriptedUser();
    ~ScriptedUser() override;

    // The next modal window must be a `Window`.
    template <typename Window>
    ScriptedUser& Then(std::function<void(Window*)> act) {
        steps_.push_back([act = std::move(act)](QWidget* modal) {
            auto* window = qobject_cast<Window*>(modal);
            if (!window) {
                ADD_FAILURE() << "expected a " << Window::staticMetaObject.className() << ", got a "
                              << modal->metaObject()->className();
                CloseModal(modal);
                return;
            }
            act(window);
        });
        return *this;
    }

    std::size_t Remaining() const { return steps_.size(); }

    // What users do in a dialog.
    static QAbstractButton* Button(QWidget* window, const QString& objectName);
    static void Click(QWidget* window, const QString& objectName);
    static void Press(QWidget* widget, const QKeySequence& keys);
    // Types into the focused control of a file dialog and presses Enter.
    static void AnswerFileDialog(QWidget* dialog, const QString& path);
    static void CloseModal(QWidget* modal);

  private:
    void Poll();

    QTimer poll_;
    QPointer<QWidget> answered_;
    std::deque<std::function<void(QWidget*)>> steps_;
};

// Processes events until `done` holds or the time is up; false when it timed out.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// Every control a user can reach in `window` has a name that assistive technology reads.
void ExpectEveryControlNamed(QWidget* window);

}  // namespace partita::gui::test
