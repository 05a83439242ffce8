#include "join/silent_frame.h"

#include "mpeg/frame_header.h"

namespace partita {
namespace {

// Bit 16 of a frame header: set means no CRC follows the header.
constexpr std::uint32_t kNoCrcBit = 0x00010000;

}  // namespace

std::vector<std::uint8_t> SilentFrame(std::uint32_t firstHeader) {
    std::uint32_t word = firstHeader | kNoCrcBit;
    if (!IsValidHeader(word))
        return {};
    FrameHeaderInfo header = DecodeHeader(word);
    if (header.frameLength < 5)
        return {};
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(header.frameLength), 0);
    frame[0] = static_cast<std::uint8_t>(word >> 24);
    frame[1] = static_cast<std::uint8_t>(word >> 16);
    frame[2] = static_cast<std::uint8_t>(word >> 8);
    frame[3] = static_cast<std::uint8_t>(word);
    return frame;
}

std::uint32_t SilentFrameCount(std::uint32_t firstHeader, int seconds) {
    std::uint32_t word = firstHeader | kNoCrcBit;
    if (seconds <= 0 || !IsValidHeader(word))
        return 0;
    FrameHeaderInfo header = DecodeHeader(word);
    if (header.frameLength < 5)
        return 0;
    double ms = static_cast<double>(seconds) * 1000.0;
    return 1 + static_cast<std::uint32_t>(header.bitrateKbps * 0.125 * ms / header.frameLength);
}

}  // namespace partita
