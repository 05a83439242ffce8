#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/audio_stream.h"

namespace partita::gui {

// Where an audio sink takes its PCM from: interleaved signed 16-bit sample frames.
class PcmSource {
  public:
    virtual ~PcmSource() = default;
    // Fills up to `frames` sample frames; fewer only at the end, then 0.
    virtual std::size_t Pull(std::int16_t* samples, std::size_t frames) = 0;
};

// The PCM of one play: a decoding stream from where it stands up to an end, played faster by
// taking `speed` source frames for each frame given (linear interpolation between neighbours),
// so that 2× covers the same span in half the frames and the pitch rises with the speed.
class PlaybackFeed : public PcmSource {
  public:
    // Plays `stream`, positioned at `startFrame`, up to (not including) `endFrame`.
    void Start(audio::AudioStream& stream, std::uint64_t startFrame, std::uint64_t endFrame,
               double speed);
    void Clear();

    std::size_t Pull(std::int16_t* samples, std::size_t frames) override;

    // The source frame reached once `given` frames of this feed have been heard.
    std::uint64_t SourceFrameAfter(std::uint64_t given) const;
    bool Ended() const { return ended_; }

  private:
    std::size_t PullAtSpeed(std::int16_t* samples, std::size_t frames);
    // Reads source frames until frame `frame` (relative to the start) is in the buffer; false
    // when the source ends before it.
    bool Buffer(std::uint64_t frame);

    audio::AudioStream* stream_ = nullptr;
    std::size_t channels_ = 0;
    std::uint64_t startFrame_ = 0;
    std::uint64_t total_ = 0;  // source frames of the play (less when the stream ends early)
    double speed_ = 1.0;
    std::uint64_t given_ = 0;  // frames given so far
    std::uint64_t read_ = 0;   // source frames read so far
    bool ended_ = true;
    // Source frames [bufferStart_, read_) for the interpolation.
    std::vector<std::int16_t> buffer_;
    std::uint64_t bufferStart_ = 0;
};

}  // namespace partita::gui
