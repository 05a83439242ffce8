#include "event_loop_gap_meter.h"

namespace partita::gui::test {

EventLoopGapMeter::EventLoopGapMeter(std::chrono::milliseconds interval) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, [this] {
        qint64 now = clock_.elapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
        ++turns_;
    });
    clock_.start();
    timer_.start();
}

// A loop that has not turned since the last firing counts up to now.
std::chrono::milliseconds EventLoopGapMeter::LongestGap() const {
    return std::chrono::milliseconds(std::max(longest_, clock_.elapsed() - last_));
}

}  // namespace partita::gui::test
