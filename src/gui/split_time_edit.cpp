#include "split_time_edit.h"

#include <QRegularExpression>

#include "user_messages.h"

namespace partita::gui {

SplitTimeEdit::SplitTimeEdit(QWidget* parent) : QLineEdit(parent) {
    setInputMask(QStringLiteral("999:99:99.999"));
    SetMs(0);
    // Wide enough for the whole mask in either language's font.
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000:00:00.0000")) + 16);
}

void SplitTimeEdit::SetMs(std::uint64_t ms) {
    setText(Format(ms));
}

std::optional<std::uint64_t> SplitTimeEdit::Ms() const {
    return Parse(text());
}

QString SplitTimeEdit::Format(std::uint64_t ms) {
    std::uint64_t seconds = ms / 1000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 3, 10, QChar('0'))
        .arg(seconds / 60 % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'))
        .arg(ms % 1000, 3, 10, QChar('0'));
}

std::optional<std::uint64_t> SplitTimeEdit::Parse(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d+):(\\d+):(\\d+)\\.(\\d+)$"));
    QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    std::uint64_t hours = match.captured(1).toULongLong();
    std::uint64_t minutes = match.captured(2).toULongLong();
    std::uint64_t seconds = match.captured(3).toULongLong();
    // A millisecond field typed short ("5" of "12.5") counts as written, as the list's times do.
    std::uint64_t ms = match.captured(4).toULongLong();
    if (minutes > 59 || seconds > 59 || ms > 999)
        return std::nullopt;
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
}

bool SplitTimeEdit::AllTimes(std::initializer_list<SplitTimeEdit*> edits, UserMessages& messages,
                             QWidget* parent) {
    for (SplitTimeEdit* edit : edits) {
        if (!edit->Ms()) {
            messages.Show(parent, UserMessages::Icon::Error,
                          UserMessage(Msg::TrackTimesInvalid, edit->text().toStdString()));
            edit->setFocus();
            return false;
        }
    }
    return true;
}

}  // namespace partita::gui
