#pragma once

#include <QLineEdit>
#include <cstdint>
#include <optional>

namespace partita::gui {

// The time box's text of a time: hours (three digits), minutes, seconds and milliseconds.
QString TimeBoxText(std::uint64_t ms);
// The time of a full time box text; none while a field is incomplete or out of range.
std::optional<std::uint64_t> ParseTimeBoxText(const QString& text);

// Step sizes of the position keys.
struct TimeSteps {
    int stepMs = 100;
    int pageMs = 1000;
};

// Where a position key moves the position: Up/Right and Down/Left by a step, Page Up/Down by a
// page, Home to 0 and End to the duration, always within [0, duration]. None for other keys.
std::optional<std::uint64_t> SteppedPosition(int key, std::uint64_t position,
                                             std::uint64_t duration, const TimeSteps& steps);

// The masked box that shows the position and takes a typed one. Up/Down and Page Up/Down step
// the time, Enter asks for a split point; the other keys edit the digits in place.
class TimeEntryBox : public QLineEdit {
    Q_OBJECT

  public:
    explicit TimeEntryBox(QWidget* parent = nullptr);

    // Shows a time without disturbing the caret of someone typing.
    void ShowTime(std::uint64_t ms);

  signals:
    void stepKeyPressed(int key);
    void timeTyped(quint64 ms);
    void enterPressed();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    std::uint64_t shown_ = 0;
};

}  // namespace partita::gui
