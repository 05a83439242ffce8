#pragma once

#include <algorithm>
#include <vector>

#include "preview_sink.h"
#include "support/test_support.h"

namespace partita::gui::test {

// An output without a device: it hears exactly as much as the test lets it, and pulls a little
// ahead of that, as a device's buffer does.
class ManualSink : public PreviewSink {
  public:
    bool available = true;
    int starts = 0;

    bool Available() const override { return available; }
    bool Start(const audio::PcmFormat& format, PcmSource& source) override {
        format_ = format;
        source_ = &source;
        pulled_.clear();
        played_ = 0;
        ended_ = false;
        paused_ = false;
        ++starts;
        Fill();
        return true;
    }
    void Stop() override { source_ = nullptr; }
    void SetPaused(bool paused) override { paused_ = paused; }
    std::uint64_t PlayedFrames() const override { return played_; }
    bool Drained() const override { return source_ && ended_ && played_ == Pulled(); }

    bool Playing() const { return source_ != nullptr && !paused_; }
    // Lets the output play `ms` of its own time (nothing while paused or stopped).
    void Consume(std::uint64_t ms) {
        std::uint64_t left = Playing() ? format_.FramesForMs(ms) : 0;
        while (left > 0 && played_ < Pulled()) {
            std::uint64_t take = std::min(left, Pulled() - played_);
            heard_.insert(heard_.end(), pulled_.begin() + Offset(played_),
                          pulled_.begin() + Offset(played_ + take));
            played_ += take;
            left -= take;
            Fill();
        }
    }
    // Every sample heard since the test began (across starts).
    const std::vector<std::int16_t>& Heard() const { return heard_; }
    void ForgetHeard() { heard_.clear(); }

  private:
    static constexpr std::uint64_t kReadAheadMs = 200;

    std::uint64_t Pulled() const {
        return format_.channels ? pulled_.size() / format_.channels : 0;
    }
    std::ptrdiff_t Offset(std::uint64_t frame) const {
        return static_cast<std::ptrdiff_t>(frame * format_.channels);
    }
    void Fill() {
        while (source_ && !ended_ && Pulled() - played_ < format_.FramesForMs(kReadAheadMs)) {
            std::vector<std::int16_t> block(512 * format_.channels);
            std::size_t got = source_->Pull(block.data(), 512);
            pulled_.insert(pulled_.end(), block.begin(), block.begin() + Offset(got));
            ended_ = got < 512;
        }
    }

    audio::PcmFormat format_;
    PcmSource* source_ = nullptr;
    std::vector<std::int16_t> pulled_;
    std::vector<std::int16_t> heard_;
    std::uint64_t played_ = 0;
    bool ended_ = false;
    bool paused_ = false;
};

// Writes a mono WAV file of `ms` whose every sample tells its place, so that what was heard
// shows where it came from; returns its samples.
inline std::vector<std::int16_t> WriteCountingWav(const std::filesystem::path& path,
                                                  std::uint64_t ms, std::uint32_t rate) {
    std::vector<std::int16_t> samples;
    for (std::uint64_t i = 0; i < ms * rate / 1000; ++i)
        samples.push_back(static_cast<std::int16_t>(i % 32000));
    partita::test::WriteWav(path, samples, rate, 1);
    return samples;
}

}  // namespace partita::gui::test
