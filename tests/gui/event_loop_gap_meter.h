#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

namespace partita::gui::test {

// How long the window's event loop went without a turn while something ran: a precise timer
// fires every few milliseconds, and the longest time between two of its firings is the longest
// the window could not repaint or take a click. Measures from its construction.
class EventLoopGapMeter : public QObject {
  public:
    explicit EventLoopGapMeter(std::chrono::milliseconds interval = std::chrono::milliseconds(5));

    std::chrono::milliseconds LongestGap() const;
    int Turns() const { return turns_; }

  private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    int turns_ = 0;
};

}  // namespace partita::gui::test
