#pragma once

#include <cstdint>
#include <vector>

#include "split/silence_detector.h"

namespace partita::test {

// Peak readings from a plan of stretches: a peak held for a number of ms, in 20 ms blocks.
class PlannedPeaks : public PeakBlockSource {
  public:
    struct Stretch {
        std::uint32_t peak;
        std::uint64_t ms;
    };
    explicit PlannedPeaks(std::vector<Stretch> plan) {
        for (const Stretch& s : plan) {
            for (std::uint64_t t = 0; t < s.ms; t += 20)
                peaks_.push_back(s.peak);
        }
    }
    std::uint64_t LengthMs() const override { return peaks_.size() * 20; }
    bool NextBlock(PeakBlock& block) override {
        if (next_ >= peaks_.size())
            return false;
        block.peak = peaks_[next_++];
        block.endMs = next_ * 20;
        return true;
    }
    std::size_t Read() const { return next_; }

  private:
    std::vector<std::uint32_t> peaks_;
    std::size_t next_ = 0;
};

}  // namespace partita::test
