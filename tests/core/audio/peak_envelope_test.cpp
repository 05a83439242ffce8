#include "audio/peak_envelope.h"

#include <chrono>
#include <condition_variable>

#include "audio_fixtures.h"

namespace partita {
namespace {

using audio::EnvelopeChunk;
using audio::PeakEnvelopeCache;
using test::ToneSegment;

// Gathers what a cache delivers, from whichever thread.
class Collector {
  public:
    PeakEnvelopeCache::Delivery Delivery() {
        return [this](EnvelopeChunk chunk) {
            std::lock_guard lock(mutex_);
            chunks_.push_back(std::move(chunk));
            changed_.notify_all();
        };
    }
    // Waits until `count` chunks (or a finished one, with `count` 0) have arrived.
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] {
            return count ? chunks_.size() >= count : !chunks_.empty() && chunks_.back().finished;
        });
    }
    std::vector<EnvelopeChunk> Chunks() {
        std::lock_guard lock(mutex_);
        return chunks_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<EnvelopeChunk> chunks_;
};

// The chunks of one source joined in order; fails when they leave gaps or overlap.
std::vector<audio::PeakLevel> Joined(const std::vector<EnvelopeChunk>& chunks) {
    std::vector<audio::PeakLevel> levels;
    for (const EnvelopeChunk& chunk : chunks) {
        EXPECT_EQ(chunk.first, levels.size());
        levels.insert(levels.end(), chunk.levels.begin(), chunk.levels.end());
    }
    return levels;
}

class PeakEnvelopeTest : public test::TempDirTest {};

// An MP3 with known pauses: the blocks inside the pauses are quiet and those inside the tones
// loud, the chunks arrive in order and add up to the file, and the kept envelope comes back at
// once, whole, when the source is asked for again.
TEST_F(PeakEnvelopeTest, QuietBlocksLieWhereTheSilencesAre) {
    const std::vector<ToneSegment> segments{
        {440, 6000}, {0, 1000}, {440, 2000}, {0, 600}, {660, 1400}};
    auto mp3 = test::MakeMp3(dir.Path(), "pauses.mp3", segments, {"-b", "128"});
    Collector collector;
    PeakEnvelopeCache cache(collector.Delivery());
    cache.Request(mp3.string());
    ASSERT_TRUE(collector.WaitFor(0));
    auto chunks = collector.Chunks();
    ASSERT_GE(chunks.size(), 2u);  // the first after 5 s of audio, not all at the end
    EXPECT_EQ(chunks.front().levels.size(), PeakEnvelopeCache::kFirstChunkBlocks);
    auto levels = Joined(chunks);
    const auto timing = chunks.back().timing;
    EXPECT_EQ(timing.blockFrames, 882u);
    EXPECT_NEAR(double(levels.size()), 11000.0 / 20, 1.0);

    std::uint32_t from = 0;
    for (const ToneSegment& segment : segments) {
        // Blocks wholly inside the segment, one block kept from each edge.
        for (std::size_t b = timing.BlockAt(from) + 2;
             timing.BlockStartMs(b + 1) < from + segment.ms - 20; ++b) {
            std::uint32_t peak = std::max(levels[b].left, levels[b].right);
            if (segment.frequency == 0)
                EXPECT_LT(peak, 300u) << "block " << b;
            else
                EXPECT_GT(peak, 12000u) << "block " << b;
        }
        from += segment.ms;
    }

    auto kept = cache.Find(mp3.string());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->levels.size(), levels.size());
    cache.Request(mp3.string());
    auto again = collector.Chunks();
    ASSERT_EQ(again.size(), chunks.size() + 1);
    EXPECT_TRUE(again.back().finished);
    EXPECT_EQ(again.back().first, 0u);
    EXPECT_EQ(again.back().levels.size(), levels.size());

    cache.Drop(mp3.string());
    EXPECT_FALSE(cache.Find(mp3.string()));
}

// Left and right are kept apart: a tone on the left only leaves the right quiet.
TEST_F(PeakEnvelopeTest, KeepsLeftAndRightApart) {
    auto mono = test::SynthesizePcm({{440, 500, 0.5}}, 44100, 1);
    std::vector<std::int16_t> stereo;
    for (std::int16_t sample : mono)
        stereo.insert(stereo.end(), {sample, 0});
    test::WriteWav(dir / "left.wav", stereo, 44100, 2);
    Collector collector;
    PeakEnvelopeCache cache(collector.Delivery());
    cache.Request((dir / "left.wav").string());
    ASSERT_TRUE(collector.WaitFor(0));
    auto levels = Joined(collector.Chunks());
    ASSERT_EQ(levels.size(), 25u);
    for (const auto& level : levels) {
        EXPECT_GT(level.left, 15000u);
        EXPECT_EQ(level.right, 0u);
    }
}

// A file that cannot be opened ends its reading with the reason and nothing kept.
TEST_F(PeakEnvelopeTest, AnUnreadableSourceFinishesWithItsReason) {
    Collector collector;
    PeakEnvelopeCache cache(collector.Delivery());
    cache.Request((dir / "missing.mp3").string());
    ASSERT_TRUE(collector.WaitFor(0));
    auto chunks = collector.Chunks();
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].error, audio::OpenError::FileNotFound);
    EXPECT_FALSE(cache.Find((dir / "missing.mp3").string()));
}

// A long source that stops being current stops being read: once another source is asked for,
// or the reading is cancelled, no more of it arrives and nothing of it is kept.
TEST_F(PeakEnvelopeTest, AnotherSourceOrCancelStopsTheReading) {
    // Ten minutes of 8 kHz mono: the reading takes far longer than the switch.
    test::WriteWav(dir / "long.wav", std::vector<std::int16_t>(10 * 60 * 8000, 1000), 8000, 1);
    auto shortWav = test::MakeWavFile(dir.Path(), "short.wav", {{440, 300}});
    const std::string longPath = (dir / "long.wav").string();

    Collector collector;
    PeakEnvelopeCache cache(collector.Delivery());
    cache.Request(longPath);
    ASSERT_TRUE(collector.WaitFor(1));
    cache.Request(shortWav.string());
    ASSERT_TRUE(collector.WaitFor(0));
    auto chunks = collector.Chunks();
    EXPECT_EQ(chunks.back().path, shortWav.string());
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i)
        EXPECT_EQ(chunks[i].path, longPath);
    EXPECT_FALSE(cache.Find(longPath));

    cache.Request(longPath);
    std::size_t before = collector.Chunks().size();
    ASSERT_TRUE(collector.WaitFor(before + 1));
    cache.Cancel();
    std::size_t atCancel = collector.Chunks().size();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(collector.Chunks().size(), atCancel);
    EXPECT_FALSE(collector.Chunks().back().finished);
    EXPECT_FALSE(cache.Find(longPath));
}

}  // namespace
}  // namespace partita
