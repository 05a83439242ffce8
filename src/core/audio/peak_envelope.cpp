#include "audio/peak_envelope.h"

#include <algorithm>
#include <chrono>

#include "audio/audio_engine.h"

namespace partita::audio {

void PeakEnvelopeCache::Request(const std::string& path) {
    if (worker_.joinable() && reading_ == path && !readingDone_)
        return;
    Cancel();
    if (auto kept = Find(path)) {
        EnvelopeChunk chunk;
        chunk.path = path;
        chunk.timing = kept->timing;
        chunk.levels = kept->levels;
        chunk.finished = true;
        deliver_(std::move(chunk));
        return;
    }
    reading_ = path;
    readingDone_ = false;
    worker_ = std::jthread([this, path](std::stop_token stop) { Read(stop, path); });
}

void PeakEnvelopeCache::Cancel() {
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    reading_.clear();
}

void PeakEnvelopeCache::Drop(const std::string& path) {
    if (reading_ == path)
        Cancel();
    std::lock_guard lock(mutex_);
    kept_.erase(path);
}

void PeakEnvelopeCache::Clear() {
    Cancel();
    std::lock_guard lock(mutex_);
    kept_.clear();
}

std::shared_ptr<const PeakEnvelope> PeakEnvelopeCache::Find(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto found = kept_.find(path);
    return found == kept_.end() ? nullptr : found->second;
}

void PeakEnvelopeCache::Read(std::stop_token stop, std::string path) {
    using Clock = std::chrono::steady_clock;
    EnvelopeChunk chunk;
    chunk.path = path;
    // No pre-scan: the blocks are counted as they are read, so their times are exact anyway.
    OpenResult opened = OpenAudioStream(path);
    if (!opened) {
        readingDone_ = true;
        chunk.finished = true;
        chunk.error = opened.error;
        deliver_(std::move(chunk));
        return;
    }
    const PcmFormat format = opened.stream->Format();
    chunk.timing = {format.sampleRate,
                    static_cast<std::uint32_t>(std::max(1, format.sampleRate / 50))};
    auto envelope = std::make_shared<PeakEnvelope>();
    envelope->timing = chunk.timing;
    // An estimate (of at most a day) keeps the vector from growing many times.
    envelope->levels.reserve(std::min<std::uint64_t>(opened.stream->DurationMs(), 86'400'000) / 20 +
                             1);

    std::size_t delivered = 0;
    Clock::time_point last = Clock::now();
    auto flush = [&](bool finished) {
        chunk.first = delivered;
        chunk.levels.assign(envelope->levels.begin() + static_cast<std::ptrdiff_t>(delivered),
                            envelope->levels.end());
        chunk.finished = finished;
        delivered = envelope->levels.size();
        last = Clock::now();
        deliver_(chunk);
    };
    PeakLevel level;
    while (!stop.stop_requested()) {
        if (!opened.stream->ReadPeakLevel(level)) {
            {
                std::lock_guard lock(mutex_);
                kept_[path] = envelope;
            }
            readingDone_ = true;
            flush(true);
            return;
        }
        envelope->levels.push_back(level);
        const std::size_t pending = envelope->levels.size() - delivered;
        if (pending >= kFirstChunkBlocks &&
            (delivered == 0 || Clock::now() - last >= std::chrono::milliseconds(kChunkIntervalMs)))
            flush(false);
    }
}

}  // namespace partita::audio
