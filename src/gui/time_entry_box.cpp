#include "time_entry_box.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QStyle>
#include <algorithm>

namespace partita::gui {

QString TimeBoxText(std::uint64_t ms) {
    const std::uint64_t hours = ms / 3600000;
    const std::uint64_t minutes = ms % 3600000 / 60000;
    const std::uint64_t seconds = ms % 60000 / 1000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(hours, 3, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

std::optional<std::uint64_t> ParseTimeBoxText(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{3}):(\\d{2}):(\\d{2})\\.(\\d{3})$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const std::uint64_t minutes = match.captured(2).toULongLong();
    const std::uint64_t seconds = match.captured(3).toULongLong();
    if (minutes > 59 || seconds > 59)
        return std::nullopt;
    return (match.captured(1).toULongLong() * 3600 + minutes * 60 + seconds) * 1000 +
           match.captured(4).toULongLong();
}

std::optional<std::uint64_t> SteppedPosition(int key, std::uint64_t position,
                                             std::uint64_t duration, const TimeSteps& steps) {
    auto by = [&](std::int64_t delta) {
        const std::int64_t moved = static_cast<std::int64_t>(position) + delta;
        return static_cast<std::uint64_t>(
            std::clamp<std::int64_t>(moved, 0, static_cast<std::int64_t>(duration)));
    };
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            return by(steps.stepMs);
        case Qt::Key_Down:
        case Qt::Key_Left:
            return by(-std::int64_t(steps.stepMs));
        case Qt::Key_PageUp:
            return by(steps.pageMs);
        case Qt::Key_PageDown:
            return by(-std::int64_t(steps.pageMs));
        case Qt::Key_Home:
            return 0;
        case Qt::Key_End:
            return duration;
        default:
            return std::nullopt;
    }
}

TimeEntryBox::TimeEntryBox(QWidget* parent) : QLineEdit(parent) {
    // Every digit is required, so that a half-typed field never counts as a time.
    setInputMask(QStringLiteral("999:99:99.999;_"));
    setText(TimeBoxText(0));
    setAlignment(Qt::AlignCenter);
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("000:00:00.0000"));
    setMinimumWidth(width + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8);
    setMaximumWidth(minimumWidth() + 24);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (std::optional<std::uint64_t> ms = ParseTimeBoxText(text))
            emit timeTyped(*ms);
    });
}

void TimeEntryBox::ShowTime(std::uint64_t ms) {
    shown_ = ms;
    const QString text = TimeBoxText(ms);
    if (text == this->text())
        return;
    const int caret = cursorPosition();
    setText(text);
    if (hasFocus())
        setCursorPosition(caret);
}

// Space pauses and resumes even here (the box takes the focus while paused), and the keys that
// step the time are the box's own rather than a line edit's.
bool TimeEntryBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
                case Qt::Key_Space:
                    event->ignore();
                    return true;
                case Qt::Key_Up:
                case Qt::Key_Down:
                case Qt::Key_PageUp:
                case Qt::Key_PageDown:
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    event->accept();
                    return true;
                default:
                    break;
            }
        }
    }
    return QLineEdit::event(event);
}

void TimeEntryBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            emit stepKeyPressed(key);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit enterPressed();
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}

// A time left half typed or out of range gives way to the position.
void TimeEntryBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const QString text = TimeBoxText(shown_);
    if (text != this->text())
        setText(text);
}

}  // namespace partita::gui
