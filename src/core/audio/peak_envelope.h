#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_stream.h"
#include "audio/open_error.h"

// The loudness outline of a source, for drawing its waveform: the peak levels of every block of
// about 20 ms of its PCM (the audio layer's level reading), left and right apart, read on a
// worker thread and handed out in chunks as they come.

namespace partita::audio {

// Where the blocks of an envelope lie in time: block i starts at sample frame i × blockFrames.
struct EnvelopeTiming {
    int sampleRate = 0;
    std::uint32_t blockFrames = 0;

    double BlockStartMs(std::size_t block) const {
        return sampleRate > 0 ? double(block) * blockFrames * 1000.0 / sampleRate : 0.0;
    }
    // The block that holds a time (may be past the last block).
    std::size_t BlockAt(double ms) const {
        return blockFrames > 0 && ms > 0
                   ? static_cast<std::size_t>(ms * sampleRate / 1000.0 / blockFrames)
                   : 0;
    }
};

// A source's whole envelope.
struct PeakEnvelope {
    EnvelopeTiming timing;
    std::vector<PeakLevel> levels;
};

// One delivery: the levels of blocks [first, first + levels.size()) of `path`. The last delivery
// of a computation has `finished` set; `error` tells why a source gave nothing.
struct EnvelopeChunk {
    std::string path;
    EnvelopeTiming timing;
    std::size_t first = 0;
    std::vector<PeakLevel> levels;
    bool finished = false;
    OpenError error = OpenError::None;
};

// Envelopes of the sources in a list, kept per path until the list drops them, computed one at a
// time for the source the user looks at.
class PeakEnvelopeCache {
  public:
    // Receives the chunks, on the worker thread (or, for a kept envelope, on the caller's). It
    // must not wait for the thread that calls Cancel, Request or Drop.
    using Delivery = std::function<void(EnvelopeChunk chunk)>;

    explicit PeakEnvelopeCache(Delivery deliver) : deliver_(std::move(deliver)) {}
    ~PeakEnvelopeCache() { Cancel(); }
    PeakEnvelopeCache(const PeakEnvelopeCache&) = delete;
    PeakEnvelopeCache& operator=(const PeakEnvelopeCache&) = delete;

    // The envelope of `path` is wanted: a kept one is delivered at once as one finished chunk;
    // otherwise it is read on a worker thread and kept once complete. Whatever was being read
    // for another source stops first; asking again for the source being read changes nothing.
    void Request(const std::string& path);
    // Stops the reading in progress; returns once the worker has stopped, after which it
    // delivers nothing more.
    void Cancel();
    // Forgets a source (it left the list), stopping its reading if it runs.
    void Drop(const std::string& path);
    void Clear();

    // A kept (complete) envelope, or null.
    std::shared_ptr<const PeakEnvelope> Find(const std::string& path) const;
    // Levels of this many blocks are gathered before the first chunk, and at least this long
    // passes between later ones, so that a long file arrives in a few hundred deliveries.
    static constexpr std::size_t kFirstChunkBlocks = 250;
    static constexpr int kChunkIntervalMs = 100;

  private:
    void Read(std::stop_token stop, std::string path);

    Delivery deliver_;
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const PeakEnvelope>> kept_;
    std::string reading_;  // the path the worker reads; only touched by the owner's thread
    std::atomic<bool> readingDone_ = false;
    std::jthread worker_;
};

}  // namespace partita::audio
