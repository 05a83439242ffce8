// The plan of a sample-accurate piece, for any cut: a gapless decoder plays exactly the samples
// asked for, beginning at the first of them, with the delay and padding in their 12-bit fields,
// and the piece never needs main data from before its first frame.

#include <gtest/gtest.h>

#include <random>

#include "mpeg/lame_tag.h"
#include "split/priming_plan.h"

namespace partita {
namespace {

TEST(PrimingPlan, EveryCutPlaysItsSamples) {
    std::mt19937 random(17);
    for (int perFrame : {1152, 576}) {
        for (bool tagged : {true, false}) {
            const SampleTimeline line =
                MakeSampleTimeline(perFrame, 5000, tagged ? std::optional<int>(576) : std::nullopt,
                                   tagged ? std::optional<int>(1026) : std::nullopt);
            std::uniform_int_distribution<std::uint64_t> sample(0, line.samples);
            for (int i = 0; i < 2000; ++i) {
                std::uint64_t begin = i < 40 ? static_cast<std::uint64_t>(i * 97) : sample(random);
                std::uint64_t end = std::min(line.samples, begin + 1 + sample(random) % 90000);
                const bool borrows = i % 3 != 0;
                auto piece =
                    PlanPrimedPiece(line, begin, end, [&](std::uint64_t) { return borrows; });
                ASSERT_TRUE(piece) << begin << "-" << end;
                const auto frames = static_cast<std::int64_t>(piece->Frames());
                const std::int64_t played = frames * perFrame - piece->delay - kDecoderDelay -
                                            std::max(0, piece->padding - kDecoderDelay);
                EXPECT_EQ(played, static_cast<std::int64_t>(end - begin)) << begin << "-" << end;
                // The first sample played is `begin`: frames before it and the part of its
                // frame before it are what the delay leaves out.
                const std::uint64_t from = begin + line.leadIn;
                const std::uint64_t lead =
                    piece->silentFrames + (from / perFrame - piece->firstFrame);
                EXPECT_EQ(lead * perFrame + from % perFrame,
                          static_cast<std::uint64_t>(piece->delay + kDecoderDelay));
                EXPECT_LE(piece->delay, kMaxLameDelay);
                EXPECT_LE(piece->padding, kMaxLameDelay);
                EXPECT_GE(piece->padding, kDecoderDelay);
                // Priming: one frame before the kept one in MPEG 1, two in MPEG 2, or the
                // stream's own start; a borrowing first frame gets its reservoir carried.
                const std::uint64_t kept = from / perFrame;
                EXPECT_EQ(piece->firstFrame,
                          kept - std::min<std::uint64_t>(kept, perFrame == 1152 ? 1 : 2));
                EXPECT_EQ(piece->carriesReservoir, piece->firstFrame > 0 && borrows);
            }
        }
    }
}

TEST(PrimingPlan, EmptyPiecesAreNotPlanned) {
    const SampleTimeline line = MakeSampleTimeline(1152, 100, 576, 1026);
    auto never = [](std::uint64_t) { return false; };
    EXPECT_FALSE(PlanPrimedPiece(line, 500, 500, never));
    EXPECT_FALSE(PlanPrimedPiece(line, line.samples, line.samples + 10, never));
    EXPECT_EQ(PlanPrimedPiece(line, 0, line.samples + 99, never)->endFrame, 100u);
}

}  // namespace
}  // namespace partita
