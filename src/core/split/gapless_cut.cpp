#include "split/gapless_cut.h"

#include "mpeg/bit_reservoir.h"
#include "mpeg/header_frame.h"
#include "split/mpeg_cut.h"
#include "split/wav_layout.h"

namespace partita {
namespace {

// Adds the offsets of the source frames [first, end) of `starts`, copied to `at` bytes from the
// header frame's start.
void AddCopiedStarts(std::vector<std::uint64_t>& offsets, std::uint64_t at,
                     const std::vector<std::uint64_t>& starts, std::size_t first, std::size_t end) {
    for (std::size_t f = first; f < end; ++f)
        offsets.push_back(at + (starts[f] - starts[first]));
}

}  // namespace

std::vector<std::uint8_t> CutHeaderFrame(const MpegAnalysis& info, BufferedFile& file,
                                         ByteRange range) {
    std::vector<std::uint8_t> frame = ReadHeaderFrame(info, file);
    if (frame.empty())
        return frame;
    const FrameTable frames = WalkFrames(file, info.firstHeader, range.begin, range.end);
    std::vector<std::uint64_t> offsets;
    offsets.reserve(frames.Count());
    AddCopiedStarts(offsets, frame.size(), frames.starts, 0, frames.Count());
    HeaderFrameUpdate update{offsets, frame.size() + (range.end - range.begin)};
    const std::uint64_t tagOffset = info.vbrTagPos - info.vbrFramePos;
    if (auto lame = ReadLameTag(frame, tagOffset)) {
        update.delay = range.begin == info.dataStart ? lame->delay : 0;
        update.padding = range.end >= AudioEnd(info) ? lame->padding : 0;
    }
    FinishHeaderFrame(frame, tagOffset, info.vbrType, update);
    return frame;
}

int FrameBorrowsAt(const std::string& path, std::uint64_t offset) {
    ReadOnlyFile probe(path);
    BufferedFile file;
    if (!probe.IsOpen() || ReadWavLayout(probe) || !file.Open(path))
        return 0;
    std::uint32_t word = 0;
    std::uint32_t next = 0;
    if (!file.WordAt(offset, word) || !IsValidHeader(word))
        return 0;
    const FrameHeaderInfo header = DecodeHeader(word);
    const std::uint64_t after = offset + static_cast<std::uint64_t>(header.frameLength);
    if (header.layer != MpegLayer::Layer3 ||
        (after + 4 <= file.Size() && (!file.WordAt(after, next) || !SameStream(word, next)))) {
        return 0;
    }
    return MainDataBeginAt(file, offset);
}

std::optional<SampleAccurateSource> PrepareSampleAccurate(const MpegAnalysis& info,
                                                          BufferedFile& file) {
    if (info.header.layer != MpegLayer::Layer3 || !info.streamFound)
        return std::nullopt;
    SampleAccurateSource source;
    source.frames = WalkFrames(file, info.firstHeader, info.dataStart, AudioEnd(info));
    if (source.frames.Count() == 0)
        return std::nullopt;
    std::optional<LameTag> lame;
    if (info.vbrType == VbrHeaderType::Xing) {
        source.headerFrame = ReadHeaderFrame(info, file);
        source.tagOffset = info.vbrTagPos - info.vbrFramePos;
        lame = ReadLameTag(source.headerFrame, source.tagOffset);
    }
    if (!lame) {
        source.headerFrame = MakeTagFrame(info.firstHeader, info.IsVbr());
        source.tagOffset = XingTagOffset(info.header);
    }
    if (source.headerFrame.empty())
        return std::nullopt;
    source.timeline = MakeSampleTimeline(SamplesPerFrame(info.header), source.frames.Count(),
                                         lame ? std::optional<int>(lame->delay) : std::nullopt,
                                         lame ? std::optional<int>(lame->padding) : std::nullopt);
    return source;
}

std::optional<PieceLayout> SampleAccuratePiece(const MpegAnalysis& info,
                                               const SampleAccurateSource& source,
                                               BufferedFile& file, std::uint64_t startMs,
                                               std::uint64_t endMs) {
    const std::vector<std::uint64_t>& starts = source.frames.starts;
    const int rate = info.header.sampleRate;
    const std::uint64_t begin = SampleAtMs(startMs, rate);
    const std::uint64_t end =
        endMs >= info.durationMs ? source.timeline.samples : SampleAtMs(endMs, rate);
    auto plan = PlanPrimedPiece(source.timeline, begin, end, [&](std::uint64_t frame) {
        return MainDataBeginAt(file, starts[frame]) > 0;
    });
    if (!plan)
        return std::nullopt;

    PieceLayout piece;
    const std::size_t first = plan->firstFrame;
    piece.range = {starts[first],
                   plan->endFrame < starts.size() ? starts[plan->endFrame] : source.frames.end};
    std::uint32_t word = 0;
    if (!file.WordAt(starts[first], word))
        return std::nullopt;
    // Silent frames first, the last of them with the first copied frame's reservoir.
    std::vector<std::uint64_t> offsets;
    offsets.reserve(plan->Frames());
    std::uint64_t at = source.headerFrame.size();
    for (int i = 0; i < plan->silentFrames; ++i) {
        std::vector<std::uint8_t> reservoir;
        if (plan->carriesReservoir && i + 1 == plan->silentFrames) {
            reservoir =
                ReservoirBefore(file, starts, first,
                                static_cast<std::size_t>(MainDataBeginAt(file, starts[first])));
        }
        std::vector<std::uint8_t> frame = ReservoirCarrier(word, reservoir);
        if (frame.empty())
            return std::nullopt;
        offsets.push_back(at);
        at += frame.size();
        piece.ownFrames.insert(piece.ownFrames.end(), frame.begin(), frame.end());
    }
    AddCopiedStarts(offsets, at, starts, first, plan->endFrame);

    piece.headerFrame = source.headerFrame;
    HeaderFrameUpdate update{offsets, at + (piece.range.end - piece.range.begin), plan->delay,
                             plan->padding};
    FinishHeaderFrame(piece.headerFrame, source.tagOffset, VbrHeaderType::Xing, update);
    return piece;
}

}  // namespace partita
