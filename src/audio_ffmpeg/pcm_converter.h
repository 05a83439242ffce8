#pragma once

#include <cstdint>
#include <vector>

#include "ffmpeg_handles.h"

namespace partita::audio::ffmpeg {

// Turns decoded frames of any sample format, rate and channel layout into interleaved signed
// 16-bit PCM of one fixed rate and channel count. Mono is copied to both channels of a stereo
// output; stereo is mixed to mono as the average of left and right; other layouts are mixed by
// FFmpeg's rules. The resampler is set up at the first frame and again whenever the frames
// change their format (a chained Ogg file, for instance).
class PcmConverter {
  public:
    PcmConverter(int sampleRate, int channels) : rate_(sampleRate), channels_(channels) {}
    ~PcmConverter();
    PcmConverter(const PcmConverter&) = delete;
    PcmConverter& operator=(const PcmConverter&) = delete;

    // Appends the frame's samples from `skip` on to `out`. False when the frame cannot be
    // converted (then nothing is appended).
    bool Convert(const AVFrame& frame, int skip, std::vector<std::int16_t>& out);
    // Appends what the resampler still holds (at the end of the stream).
    void Flush(std::vector<std::int16_t>& out);
    // Forgets every sample held (after a seek).
    void Reset();

  private:
    bool Configure(const AVFrame& frame);
    bool Matches(const AVFrame& frame) const;
    void Drain(const std::uint8_t* const* input, int count, std::vector<std::int16_t>& out);

    int rate_;
    int channels_;
    ResamplerPtr resampler_;
    bool direct_ = false;  // the frames are already what we deliver: copied as they are
    int inFormat_ = -1;
    int inRate_ = 0;
    AVChannelLayout inLayout_{};
};

}  // namespace partita::audio::ffmpeg
