#include "join/audio_pcm_decoder.h"

#include "audio/audio_engine.h"

namespace partita {
namespace {

class AudioPcmSource : public PcmSource {
  public:
    explicit AudioPcmSource(std::unique_ptr<audio::AudioStream> stream)
        : stream_(std::move(stream)), frameBytes_(stream_->Format().BytesPerFrame()) {}

    bool Seek(std::uint64_t ms) override { return stream_->Seek(ms); }

    std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
        // The stream hands out what it has decoded; keep reading until the buffer is full or
        // the source has ended, so a short read means the end.
        std::size_t frames = size / frameBytes_;
        std::size_t done = 0;
        auto* samples = reinterpret_cast<std::int16_t*>(buffer);
        const std::size_t channels = frameBytes_ / 2;
        while (done < frames) {
            std::size_t got = stream_->ReadPcm(samples + done * channels, frames - done);
            if (got == 0)
                break;
            done += got;
        }
        return done * frameBytes_;
    }

  private:
    std::unique_ptr<audio::AudioStream> stream_;
    std::size_t frameBytes_;
};

}  // namespace

std::unique_ptr<PcmSource> AudioPcmDecoder::Open(const std::string& path, int sampleRate,
                                                 int channels, UserMessage& failure) {
    audio::OpenOptions options;
    options.sampleRate = sampleRate;
    options.channels = channels;
    audio::OpenResult opened = audio::OpenAudioStream(path, options);
    if (!opened) {
        if (opened.error != audio::OpenError::None)
            failure = audio::OpenErrorMessage(path, opened.error);
        return nullptr;
    }
    return std::make_unique<AudioPcmSource>(std::move(opened.stream));
}

}  // namespace partita
