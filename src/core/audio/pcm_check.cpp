#include "audio/pcm_check.h"

#include <algorithm>
#include <memory>

#include "audio/audio_engine.h"

namespace partita::audio {
namespace {

constexpr std::size_t kBlockFrames = 16384;

// The pieces' samples as one stream.
class ChainedPieces {
  public:
    explicit ChainedPieces(const std::vector<std::filesystem::path>& paths) : paths_(paths) {}

    // Opens the next piece that has the given format; false when one cannot be opened or has
    // another rate or channel count.
    bool Read(std::vector<std::int16_t>& out, std::size_t frames, int rate, int channels,
              std::size_t& got) {
        got = 0;
        while (got < frames) {
            if (!stream_) {
                if (next_ >= paths_.size())
                    return true;
                OpenResult opened = OpenAudioStream(paths_[next_++]);
                if (!opened || opened.stream->Format().sampleRate != rate ||
                    opened.stream->Format().channels != channels) {
                    return false;
                }
                stream_ = std::move(opened.stream);
            }
            std::size_t n = stream_->ReadPcm(out.data() + got * static_cast<std::size_t>(channels),
                                             frames - got);
            got += n;
            if (n == 0)
                stream_.reset();
        }
        return true;
    }

  private:
    const std::vector<std::filesystem::path>& paths_;
    std::size_t next_ = 0;
    std::unique_ptr<AudioStream> stream_;
};

}  // namespace

DecodeResult DecodeWhole(const std::filesystem::path& path) {
    DecodeResult result;
    OpenResult opened = OpenAudioStream(path);
    if (!opened) {
        result.error = opened.error;
        return result;
    }
    AudioStream& stream = *opened.stream;
    result.sampleRate = stream.Format().sampleRate;
    result.channels = stream.Format().channels;
    std::vector<std::int16_t> block(kBlockFrames * static_cast<std::size_t>(result.channels));
    while (std::size_t n = stream.ReadPcm(block.data(), kBlockFrames))
        result.samples += n;
    result.errors = stream.DecodeErrors();
    return result;
}

PcmComparison ComparePcm(const std::filesystem::path& source,
                         const std::vector<std::filesystem::path>& pieces) {
    PcmComparison result;
    OpenResult whole = OpenAudioStream(source);
    if (!whole)
        return result;
    const int rate = whole.stream->Format().sampleRate;
    const int channels = whole.stream->Format().channels;
    const auto width = static_cast<std::size_t>(channels);
    std::vector<std::int16_t> expected(kBlockFrames * width), got(kBlockFrames * width);
    ChainedPieces chain(pieces);
    for (;;) {
        const std::size_t wanted = whole.stream->ReadPcm(expected.data(), kBlockFrames);
        std::size_t have = 0;
        if (!chain.Read(got, kBlockFrames, rate, channels, have))
            return result;
        const std::size_t common = std::min(wanted, have);
        if (!result.firstDifference) {
            auto [a, b] =
                std::mismatch(expected.begin(), expected.begin() + common * width, got.begin());
            if (a != expected.begin() + common * width || wanted != have) {
                const auto at = static_cast<std::size_t>(a - expected.begin()) / width;
                result.firstDifference = result.sourceSamples + std::min(at, common);
            }
        }
        result.sourceSamples += wanted;
        result.pieceSamples += have;
        if (wanted == 0 && have == 0)
            break;
    }
    result.decoded = true;
    return result;
}

}  // namespace partita::audio
