#pragma once

#include <cstdint>

#include "mpeg/mpeg_analysis.h"

namespace partita {

// The LAME delay and padding of a direct join, for its header frame: the first source's delay
// where its audio is copied from its first frame, and the last source's padding where it is
// copied to the end of its audio with no silence after it; 0 otherwise (a source without a LAME
// tag has neither).
class GaplessEnds {
  public:
    // The first source, copied from `from`.
    void First(const MpegAnalysis& info, std::uint64_t from);
    // Each source in turn (the first too), copied up to `to`.
    void Next(const MpegAnalysis& info, std::uint64_t to, int silenceSeconds);

    int Delay() const { return delay_; }
    int Padding() const { return padding_; }

  private:
    int delay_ = 0;
    int padding_ = 0;
};

}  // namespace partita
