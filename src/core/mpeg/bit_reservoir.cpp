#include "mpeg/bit_reservoir.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace partita {
namespace {

// Header bits: 16 set means no CRC; 15-12 the bitrate index; 9 padding; 5-4 mode extension.
constexpr std::uint32_t kNoCrcBit = 0x00010000;
constexpr std::uint32_t kBitrateBits = 0x0000F000;
constexpr std::uint32_t kPaddingAndExtensionBits = 0x00000230;

}  // namespace

int MainDataOffset(const FrameHeaderInfo& header) {
    return 4 + (header.protectionBit ? 0 : 2) + SideInfoSize(header);
}

int MainDataBegin(std::span<const std::uint8_t> frame) {
    if (frame.size() < 8)
        return 0;
    const std::uint32_t word = HeaderWord(frame.data());
    if (!IsValidHeader(word))
        return 0;
    const FrameHeaderInfo header = DecodeHeader(word);
    if (header.layer != MpegLayer::Layer3)
        return 0;
    const std::size_t at = header.protectionBit ? 4 : 6;
    if (header.version == MpegVersion::Mpeg1)
        return (frame[at] << 1) | (frame[at + 1] >> 7);
    return frame[at];
}

int MainDataBeginAt(BufferedFile& file, std::uint64_t offset) {
    std::array<std::uint8_t, 8> bytes{};
    if (file.ReadAt(offset, bytes.data(), bytes.size()) != bytes.size())
        return 0;
    return MainDataBegin(bytes);
}

std::vector<std::uint8_t> ReservoirBefore(BufferedFile& file,
                                          std::span<const std::uint64_t> frameStarts,
                                          std::size_t frame, std::size_t count) {
    std::vector<std::uint8_t> bytes(count, 0);
    std::size_t missing = count;
    for (std::size_t j = std::min(frame, frameStarts.size()); missing > 0 && j > 0;) {
        --j;
        std::uint32_t word = 0;
        if (!file.WordAt(frameStarts[j], word) || !IsValidHeader(word))
            break;
        const FrameHeaderInfo header = DecodeHeader(word);
        const auto offset = static_cast<std::size_t>(MainDataOffset(header));
        const auto length = static_cast<std::size_t>(header.frameLength);
        if (length <= offset)
            continue;
        const std::size_t take = std::min(missing, length - offset);
        file.ReadAt(frameStarts[j] + length - take, bytes.data() + missing - take, take);
        missing -= take;
    }
    return bytes;
}

std::vector<std::uint8_t> ReservoirCarrier(std::uint32_t streamHeader,
                                           std::span<const std::uint8_t> reservoir) {
    const std::uint32_t base =
        (streamHeader | kNoCrcBit) & ~(kBitrateBits | kPaddingAndExtensionBits);
    for (std::uint32_t index = 1; index < 15; ++index) {
        const std::uint32_t word = base | (index << 12);
        if (!IsValidHeader(word))
            return {};
        const FrameHeaderInfo header = DecodeHeader(word);
        if (header.layer != MpegLayer::Layer3)
            return {};
        const auto length = static_cast<std::size_t>(header.frameLength);
        if (length < static_cast<std::size_t>(MainDataOffset(header)) + reservoir.size())
            continue;
        std::vector<std::uint8_t> frame(length, 0);
        for (int i = 0; i < 4; ++i)
            frame[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(word >> (24 - 8 * i));
        if (!reservoir.empty())
            std::memcpy(frame.data() + length - reservoir.size(), reservoir.data(),
                        reservoir.size());
        return frame;
    }
    return {};
}

}  // namespace partita
