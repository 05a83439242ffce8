#include "join/gapless_ends.h"

#include "mpeg/header_frame.h"

namespace partita {
namespace {

std::optional<LameTag> LameTagOf(const MpegAnalysis& info) {
    BufferedFile file;
    if (info.vbrType != VbrHeaderType::Xing || !file.Open(info.path))
        return std::nullopt;
    return ReadSourceLameTag(info, file);
}

}  // namespace

void GaplessEnds::First(const MpegAnalysis& info, std::uint64_t from) {
    std::optional<LameTag> tag = from == info.dataStart ? LameTagOf(info) : std::nullopt;
    delay_ = tag ? tag->delay : 0;
}

void GaplessEnds::Next(const MpegAnalysis& info, std::uint64_t to, int silenceSeconds) {
    std::optional<LameTag> tag =
        to >= info.audioEnd && silenceSeconds <= 0 ? LameTagOf(info) : std::nullopt;
    padding_ = tag ? tag->padding : 0;
}

}  // namespace partita
