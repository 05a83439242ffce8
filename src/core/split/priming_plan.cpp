#include "split/priming_plan.h"

#include <algorithm>

#include "mpeg/lame_tag.h"

namespace partita {
namespace {

// The decoder's state when the first kept frame begins must be the one it had in the source:
// the overlap its granules add from the granule before, and the synthesis filterbank's history
// of the last 16 slots of 32 subband samples. In MPEG 1 (two granules a frame) all of that comes
// from the frame before; in MPEG 2 and 2.5 (one granule) the filterbank's history reaches back
// through that granule's own overlap into the frame before it. Those priming frames are decoded
// (whole: their reservoir is in the piece) and left out by the delay.
std::uint64_t PrimingFrames(int samplesPerFrame) {
    return samplesPerFrame == 1152 ? 1 : 2;
}

// Some decoders keep the filterbank's history in a ring of 16 slots of 32 samples and sum in
// an order that depends on where in the ring a frame begins: mpg123's vector code on the slot
// modulo 4 (stereo) or 8 (mono). A kept frame that begins at the place it began in the source
// decodes to the very same rounding. mpg123 counts only the frames it decodes, and it decodes
// at most 4 before the first one it plays (its "preframes"): more frames before the kept one
// would shift the ring again.
constexpr std::int64_t kRingPhases[] = {256, 128};
constexpr std::int64_t kMostFramesDecodedAhead = 4;

}  // namespace

SampleTimeline MakeSampleTimeline(int samplesPerFrame, std::uint64_t frames,
                                  std::optional<int> delay, std::optional<int> padding) {
    SampleTimeline timeline;
    timeline.samplesPerFrame = samplesPerFrame;
    timeline.frames = frames;
    const std::uint64_t decoded = frames * static_cast<std::uint64_t>(samplesPerFrame);
    timeline.samples = decoded;
    if (delay) {
        timeline.leadIn = static_cast<std::uint64_t>(*delay + kDecoderDelay);
        timeline.samples = PlayedSamples(decoded, *delay, padding.value_or(0));
    }
    return timeline;
}

std::uint64_t SampleAtMs(std::uint64_t ms, int sampleRate) {
    return (ms * static_cast<std::uint64_t>(sampleRate) + 500) / 1000;
}

std::optional<PrimedPiece> PlanPrimedPiece(
    const SampleTimeline& timeline, std::uint64_t begin, std::uint64_t end,
    const std::function<bool(std::uint64_t frame)>& borrows) {
    end = std::min(end, timeline.samples);
    if (begin >= end || timeline.samplesPerFrame <= 0)
        return std::nullopt;
    const auto perFrame = static_cast<std::uint64_t>(timeline.samplesPerFrame);
    // On the decoder's time line (the frames' samples, nothing left out).
    const std::uint64_t from = begin + timeline.leadIn;
    const std::uint64_t to = end + timeline.leadIn;
    const std::uint64_t kept = from / perFrame;  // the frame that holds the first sample
    const std::uint64_t into = from % perFrame;

    PrimedPiece piece;
    const std::uint64_t priming = PrimingFrames(timeline.samplesPerFrame);
    piece.firstFrame = kept > priming ? kept - priming : 0;
    piece.endFrame = std::min(timeline.frames, (to - 1) / perFrame + 1);
    // The first copied frame's reservoir lies in frames that are not copied: a silent frame of
    // our own carries it (the piece's first frame then needs nothing from before the piece).
    piece.carriesReservoir = piece.firstFrame > 0 && borrows(piece.firstFrame);
    piece.silentFrames = piece.carriesReservoir ? 1 : 0;
    // Frames before the kept one. More silent frames in front (silence after silence leaves the
    // decoder as it starts) make the delay positive and put the kept frame in phase.
    const auto perFrameSigned = static_cast<std::int64_t>(perFrame);
    const auto fewest = static_cast<std::int64_t>(piece.silentFrames + (kept - piece.firstFrame));
    auto fits = [&](std::int64_t lead) {
        return lead * perFrameSigned + static_cast<std::int64_t>(into) >= kDecoderDelay;
    };
    auto inPhase = [&](std::int64_t lead, std::int64_t ring) {
        return ((static_cast<std::int64_t>(kept) - lead) * perFrameSigned) % ring == 0;
    };
    std::int64_t lead = -1;
    for (std::int64_t ring : kRingPhases) {
        for (std::int64_t l = fewest; lead < 0 && l <= kMostFramesDecodedAhead; ++l) {
            if (fits(l) && inPhase(l, ring))
                lead = l;
        }
    }
    for (lead = lead < 0 ? fewest : lead; !fits(lead);)
        ++lead;
    piece.silentFrames += static_cast<int>(lead - fewest);
    const std::int64_t delay =
        lead * perFrameSigned + static_cast<std::int64_t>(into) - kDecoderDelay;
    // The piece's end on its own decoder time line.
    const std::uint64_t pieceEnd = to - piece.firstFrame * perFrame +
                                   static_cast<std::uint64_t>(piece.silentFrames) * perFrame;
    const std::int64_t padding = static_cast<std::int64_t>(piece.Frames() * perFrame) +
                                 kDecoderDelay - static_cast<std::int64_t>(pieceEnd);
    if (delay > kMaxLameDelay || padding < 0 || padding > kMaxLameDelay)
        return std::nullopt;
    piece.delay = static_cast<int>(delay);
    piece.padding = static_cast<int>(padding);
    return piece;
}

}  // namespace partita
