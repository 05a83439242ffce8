#include "join/frame_counter.h"

#include <algorithm>
#include <cstring>

#include "mpeg/frame_header.h"

namespace partita {

void FrameCounter::Feed(const std::uint8_t* data, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        if (skip_ > 0) {
            auto n = static_cast<std::size_t>(std::min<std::uint64_t>(skip_, size - i));
            skip_ -= n;
            i += n;
            fed_ += n;
            continue;
        }
        window_[have_++] = data[i++];
        ++fed_;
        if (have_ < 4)
            continue;
        std::uint32_t word = HeaderWord(window_);
        if (IsValidHeader(word) && SameStream(word, stream_)) {
            FrameHeaderInfo header = DecodeHeader(word);
            ++frames_;
            const int index = static_cast<int>((word >> 12) & 0xF);
            if (bitrateIndex_ == 0)
                bitrateIndex_ = index;
            else if (bitrateIndex_ != index)
                bitrateIndex_ = -1;
            if (starts_)
                starts_->push_back(fed_ - 4);
            have_ = 0;
            skip_ = header.frameLength > 4 ? static_cast<std::uint64_t>(header.frameLength) - 4 : 0;
        } else {
            // No header here: look again one byte later.
            std::memmove(window_, window_ + 1, 3);
            have_ = 3;
        }
    }
}

}  // namespace partita
