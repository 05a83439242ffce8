#include "scripted_user.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <algorithm>

namespace partita::gui::test {

ScriptedUser::ScriptedUser() {
    poll_.setInterval(10);
    connect(&poll_, &QTimer::timeout, this, &ScriptedUser::Poll);
    poll_.start();
}

ScriptedUser::~ScriptedUser() {
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " expected dialogs never came";
}

void ScriptedUser::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == answered_)
        return;
    answered_ = modal;
    if (steps_.empty()) {
        ADD_FAILURE() << "unexpected " << modal->metaObject()->className() << ": "
                      << modal->windowTitle().toStdString();
        CloseModal(modal);
        return;
    }
    auto step = std::move(steps_.front());
    steps_.pop_front();
    // Run from a fresh timer: a step that opens another modal window nests its event loop, and
    // this poll must keep running inside it.
    QTimer::singleShot(0, modal, [step = std::move(step), modal] { step(modal); });
}

QAbstractButton* ScriptedUser::Button(QWidget* window, const QString& objectName) {
    auto* button = window->findChild<QAbstractButton*>(objectName);
    EXPECT_NE(button, nullptr) << "no button " << objectName.toStdString();
    return button;
}

void ScriptedUser::Click(QWidget* window, const QString& objectName) {
    if (QAbstractButton* button = Button(window, objectName))
        QTest::mouseClick(button, Qt::LeftButton);
}

void ScriptedUser::Press(QWidget* widget, const QKeySequence& keys) {
    QPointer<QWidget> window = widget->window();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    auto pressed = [&] {
        QList<QAbstractButton*> down;
        if (window) {
            for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
                if (button->isDown())
                    down << button;
            }
        }
        return down;
    };
    const QList<QAbstractButton*> downBefore = pressed();
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : widget;
    QTest::keySequence(target, keys);
    // A mnemonic holds its button down for a moment before it clicks, as the user sees it.
    WaitUntil([&] { return pressed() == downBefore; });
}

void ScriptedUser::AnswerFileDialog(QWidget* dialog, const QString& path) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, path);
    QTest::keyClick(edit, Qt::Key_Return);
}

void ScriptedUser::CloseModal(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void ExpectEveryControlNamed(QWidget* window) {
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(window) || control->focusPolicy() == Qt::NoFocus)
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
            << window->metaObject()->className() << ": a " << control->metaObject()->className()
            << " named " << control->objectName().toStdString() << " has no accessible name";
    }
}

}  // namespace partita::gui::test
