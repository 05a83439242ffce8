#pragma once

#include <memory>
#include <string>

#include "app/user_message.h"
#include "audio/audio_stream.h"
#include "split/silence_detector.h"

namespace partita {

// The peak blocks of a decoding stream of the audio layer: one reading per 20 ms of PCM, the
// larger of the two channels' peaks, and the stream's position after it.
class StreamPeakSource : public PeakBlockSource {
  public:
    explicit StreamPeakSource(std::unique_ptr<audio::AudioStream> stream)
        : stream_(std::move(stream)) {}
    std::uint64_t LengthMs() const override { return stream_->DurationMs(); }
    bool NextBlock(PeakBlock& block) override;

  private:
    std::unique_ptr<audio::AudioStream> stream_;
};

// Opens a file for the detection; with `prescan` (frame split mode) the stream reads the whole
// file first so that its length and positions are exact. Null, with `failure` set to the audio
// layer's reason, when it cannot be opened.
std::unique_ptr<StreamPeakSource> OpenPeakSource(const std::string& path, bool prescan,
                                                 UserMessage* failure = nullptr);

}  // namespace partita
