#include "split/wav_layout.h"

#include <cstring>

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

}  // namespace

std::uint64_t WavLayout::DurationMs() const {
    if (byteRate == 0)
        return 0;
    return dataSize / byteRate * 1000 + dataSize % byteRate * 1000 / byteRate;
}

std::uint64_t WavLayout::DataOffsetOf(std::uint64_t ms) const {
    if (byteRate == 0 || blockAlign == 0 || ms >= DurationMs())
        return dataSize - dataSize % (blockAlign ? blockAlign : 1);
    // ms < duration keeps ms * byteRate below dataSize * 1000: no overflow for any real file.
    std::uint64_t bytes = ms / 1000 * byteRate + ms % 1000 * byteRate / 1000;
    bytes -= bytes % blockAlign;
    return bytes < dataSize ? bytes : dataSize - dataSize % blockAlign;
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
        } else if (std::memcmp(chunk, "fact", 4) == 0 && size >= 4) {
            layout.factPos = body;
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
            if (layout.blockAlign == 0)
                layout.blockAlign =
                    static_cast<std::uint16_t>(layout.channels * ((layout.bitsPerSample + 7) / 8));
            if (layout.byteRate == 0)
                layout.byteRate = layout.sampleRate * layout.blockAlign;
            if (layout.blockAlign == 0 || layout.byteRate == 0)
                return std::nullopt;
            return layout;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

}  // namespace partita
