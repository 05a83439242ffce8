#include "split/wav_layout.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "split/file_copy.h"

namespace partita {
namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint64_t Le64(const std::uint8_t* p) {
    return std::uint64_t{Le32(p)} | (std::uint64_t{Le32(p + 4)} << 32);
}

// A file with more chunks than this before its samples is not taken for a WAVE file.
constexpr int kMaxChunks = 10'000;

// Format tags whose samples are stored one frame per block: integer PCM, float, A-law, µ-law.
bool IsPcmFormat(std::uint16_t tag) {
    return tag == 1 || tag == 3 || tag == 6 || tag == 7;
}
constexpr std::uint16_t kExtensibleFormat = 0xFFFE;

// Sets how many sample frames the data holds: PCM one per block; a coded format the samples
// per block of its format chunk, or else those that its sample count spreads over its blocks.
// False when a coded format says neither.
bool CountSampleFrames(WavLayout& layout, std::optional<std::uint64_t> factSamples,
                       std::uint32_t formatSamplesPerBlock) {
    const std::uint64_t blocks = layout.dataSize / layout.blockAlign;
    if (IsPcmFormat(layout.formatTag)) {
        layout.samplesPerBlock = 1;
        layout.sampleFrames = blocks;
        return true;
    }
    const std::uint64_t started = (layout.dataSize + layout.blockAlign - 1) / layout.blockAlign;
    if (formatSamplesPerBlock == 0 && factSamples && started > 0)
        formatSamplesPerBlock = static_cast<std::uint32_t>((*factSamples + started - 1) / started);
    if (formatSamplesPerBlock == 0)
        return false;
    layout.samplesPerBlock = formatSamplesPerBlock;
    const std::uint64_t most = started * formatSamplesPerBlock;
    layout.sampleFrames = factSamples ? std::min(*factSamples, most) : most;
    return true;
}

}  // namespace

std::uint64_t WavLayout::DurationMs() const {
    if (sampleRate == 0)
        return 0;
    return sampleFrames / sampleRate * 1000 + sampleFrames % sampleRate * 1000 / sampleRate;
}

std::uint64_t WavLayout::DataOffsetOf(std::uint64_t ms) const {
    const std::uint64_t whole = dataSize - dataSize % (blockAlign ? blockAlign : 1);
    if (sampleRate == 0 || blockAlign == 0 || samplesPerBlock == 0 || ms >= DurationMs())
        return whole;
    // ms < duration keeps ms * sampleRate below sampleFrames * 1000: no overflow.
    const std::uint64_t sample = ms / 1000 * sampleRate + ms % 1000 * sampleRate / 1000;
    return std::min(sample / samplesPerBlock * blockAlign, whole);
}

std::uint64_t WavLayout::SampleFramesBetween(std::uint64_t from, std::uint64_t to) const {
    auto samplesBefore = [this](std::uint64_t offset) {
        if (blockAlign == 0 || offset >= dataSize)
            return sampleFrames;
        return std::min(offset / blockAlign * samplesPerBlock, sampleFrames);
    };
    return to > from ? samplesBefore(to) - samplesBefore(from) : 0;
}

std::optional<WavLayout> ReadWavLayout(const ReadOnlyFile& file) {
    std::uint8_t head[12];
    if (file.ReadAt(0, head, 12) != 12)
        return std::nullopt;
    WavLayout layout;
    if (std::memcmp(head + 8, "WAVE", 4) != 0)
        return std::nullopt;
    if (std::memcmp(head, "RF64", 4) == 0) {
        layout.rf64 = true;
    } else if (std::memcmp(head, "RIFF", 4) != 0) {
        return std::nullopt;
    }

    const std::uint64_t fileSize = file.Size();
    std::uint64_t ds64DataSize = 0;
    bool haveFormat = false;
    std::optional<std::uint64_t> factSamples;
    std::uint32_t formatSamplesPerBlock = 0;
    std::uint64_t pos = 12;
    for (int count = 0; count < kMaxChunks && pos + 8 <= fileSize; ++count) {
        std::uint8_t chunk[8];
        if (file.ReadAt(pos, chunk, 8) != 8)
            return std::nullopt;
        const std::uint64_t size = Le32(chunk + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(chunk, "ds64", 4) == 0 && size >= 24) {
            std::uint8_t ds64[24];
            if (file.ReadAt(body, ds64, 24) != 24)
                return std::nullopt;
            layout.ds64Pos = body;
            ds64DataSize = Le64(ds64 + 8);
        } else if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            std::uint8_t fmt[16];
            if (file.ReadAt(body, fmt, 16) != 16)
                return std::nullopt;
            layout.formatTag = Le16(fmt);
            layout.channels = Le16(fmt + 2);
            layout.sampleRate = Le32(fmt + 4);
            layout.byteRate = Le32(fmt + 8);
            layout.blockAlign = Le16(fmt + 12);
            layout.bitsPerSample = Le16(fmt + 14);
            haveFormat = true;
            // The extension: its size (2), then samples per block for coded formats, or the
            // valid bits (2), channel mask (4) and the sub-format, whose first two bytes are a
            // format tag, for the extensible format.
            std::uint8_t extension[10];
            if (size >= 20 && file.ReadAt(body + 16, extension, 4) == 4)
                formatSamplesPerBlock = Le16(extension + 2);
            if (layout.formatTag == kExtensibleFormat && size >= 26 &&
                file.ReadAt(body + 16, extension, 10) == 10) {
                layout.formatTag = Le16(extension + 8);
                formatSamplesPerBlock = 0;
            }
        } else if (std::memcmp(chunk, "fact", 4) == 0 && size >= 4) {
            layout.factPos = body;
            std::uint8_t samples[4];
            if (file.ReadAt(body, samples, 4) == 4)
                factSamples = Le32(samples);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return std::nullopt;
            layout.dataStart = body;
            std::uint64_t dataSize = size;
            if (layout.rf64 && size == 0xFFFFFFFF && layout.ds64Pos != 0)
                dataSize = ds64DataSize;
            // A size of 0 or one past the end (a recording cut short, a stream) means: the
            // samples run to the end of the file.
            if (dataSize == 0 || body + dataSize > fileSize)
                dataSize = fileSize - body;
            layout.dataSize = dataSize;
            if (layout.blockAlign == 0 && IsPcmFormat(layout.formatTag))
                layout.blockAlign =
                    static_cast<std::uint16_t>(layout.channels * ((layout.bitsPerSample + 7) / 8));
            if (layout.blockAlign == 0 || layout.sampleRate == 0 ||
                !CountSampleFrames(layout, factSamples, formatSamplesPerBlock)) {
                return std::nullopt;
            }
            return layout;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace partita
