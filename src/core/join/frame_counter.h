#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace partita {

// Counts the frames of one MPEG stream in bytes handed over piece by piece: from a frame header
// of the stream it jumps by the frame's length; bytes that are no header of the stream are
// passed over one at a time until one is found again.
class FrameCounter {
  public:
    explicit FrameCounter(std::uint32_t streamHeader) : stream_(streamHeader) {}
    // Also appends every frame's offset to `starts`: `base` + the bytes fed before it.
    FrameCounter(std::uint32_t streamHeader, std::vector<std::uint64_t>* starts, std::uint64_t base)
        : stream_(streamHeader), starts_(starts), fed_(base) {}
    void Feed(const std::uint8_t* data, std::size_t size);
    std::uint32_t Frames() const { return frames_; }
    // The bitrate index (header bits 15-12) of every frame counted; 0 before the first frame,
    // -1 when the frames had more than one.
    int BitrateIndex() const { return bitrateIndex_; }

  private:
    std::uint32_t stream_;
    std::uint64_t skip_ = 0;
    std::uint8_t window_[4] = {};
    int have_ = 0;
    std::uint32_t frames_ = 0;
    std::vector<std::uint64_t>* starts_ = nullptr;
    std::uint64_t fed_ = 0;
    int bitrateIndex_ = 0;
};

}  // namespace partita
