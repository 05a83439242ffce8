#include "playback_feed.h"

#include <algorithm>
#include <cmath>

namespace partita::gui {
namespace {

constexpr std::size_t kReadFrames = 4096;

}  // namespace

void PlaybackFeed::Start(audio::AudioStream& stream, std::uint64_t startFrame,
                         std::uint64_t endFrame, double speed) {
    stream_ = &stream;
    channels_ = static_cast<std::size_t>(stream.Format().channels);
    startFrame_ = startFrame;
    total_ = endFrame > startFrame ? endFrame - startFrame : 0;
    speed_ = speed > 0 ? speed : 1.0;
    given_ = 0;
    read_ = 0;
    ended_ = total_ == 0;
    buffer_.clear();
    bufferStart_ = 0;
}

void PlaybackFeed::Clear() {
    stream_ = nullptr;
    ended_ = true;
    buffer_.clear();
}

std::uint64_t PlaybackFeed::SourceFrameAfter(std::uint64_t given) const {
    auto covered = static_cast<std::uint64_t>(std::llround(double(given) * speed_));
    return startFrame_ + std::min(covered, total_);
}

std::size_t PlaybackFeed::Pull(std::int16_t* samples, std::size_t frames) {
    if (ended_ || !stream_)
        return 0;
    if (speed_ != 1.0)
        return PullAtSpeed(samples, frames);
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(frames, total_ - read_));
    std::size_t got = stream_->ReadPcm(samples, want);
    read_ += got;
    given_ += got;
    if (got < want)
        total_ = read_;  // the stream is shorter than its stated length
    ended_ = read_ >= total_;
    return got;
}

bool PlaybackFeed::Buffer(std::uint64_t frame) {
    while (read_ <= frame) {
        if (read_ >= total_)
            return false;
        std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kReadFrames, total_ - read_));
        std::size_t at = buffer_.size();
        buffer_.resize(at + want * channels_);
        std::size_t got = stream_->ReadPcm(buffer_.data() + at, want);
        buffer_.resize(at + got * channels_);
        read_ += got;
        if (got < want)
            total_ = read_;
    }
    return true;
}

std::size_t PlaybackFeed::PullAtSpeed(std::int16_t* samples, std::size_t frames) {
    // The frames before the next one to play are no longer needed.
    auto first = std::min(static_cast<std::uint64_t>(double(given_) * speed_), read_);
    if (first > bufferStart_) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(
                                                             (first - bufferStart_) * channels_));
        bufferStart_ = first;
    }
    std::size_t done = 0;
    while (done < frames) {
        // The output frame's place in the source, from its count (no error builds up).
        double place = double(given_) * speed_;
        auto frame = static_cast<std::uint64_t>(place);
        if (frame >= total_ || !Buffer(frame)) {
            ended_ = true;
            break;
        }
        double fraction = place - double(frame);
        // The next frame, or this one again at the end of the play.
        std::uint64_t next = Buffer(frame + 1) ? frame + 1 : frame;
        const std::int16_t* a = buffer_.data() + (frame - bufferStart_) * channels_;
        const std::int16_t* b = buffer_.data() + (next - bufferStart_) * channels_;
        for (std::size_t c = 0; c < channels_; ++c)
            samples[done * channels_ + c] =
                static_cast<std::int16_t>(std::lround(a[c] + (b[c] - a[c]) * fraction));
        ++done;
        ++given_;
    }
    if (double(given_) * speed_ >= double(total_))
        ended_ = true;
    return done;
}

}  // namespace partita::gui
