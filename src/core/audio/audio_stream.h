#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The decoding stream of the audio layer. The implementation lives in the audio module (over
// FFmpeg), which the core loads at run time; this header is shared by both sides and holds no
// code that needs the core library.

namespace partita::audio {

// What a stream is opened for.
struct OpenOptions {
    // Reads every packet of the file once while opening, so the length is counted exactly and
    // seeking in a VBR MPEG file lands on the frame that holds the time (frame split mode).
    // Without it the length of a compressed file may be an estimate and a seek in a VBR file
    // without an index may land a few frames off (it still lands on a frame start).
    bool prescan = false;
    // The PCM the stream delivers: 0 keeps the source's sample rate or channel count; any other
    // value converts to it (resampling, mixing mono to both channels or stereo down to the
    // average of left and right). Channels may be 1 or 2 when given.
    int sampleRate = 0;
    int channels = 0;
};

// The shape of the PCM a stream delivers: signed 16-bit samples, interleaved.
struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;

    std::uint64_t BytesPerFrame() const { return static_cast<std::uint64_t>(channels) * 2; }
    // Sample frames in a time (rounded down).
    std::uint64_t FramesForMs(std::uint64_t ms) const {
        return ms * static_cast<std::uint64_t>(sampleRate) / 1000;
    }
    std::uint64_t FramesForSeconds(double seconds) const {
        return seconds <= 0 ? 0 : static_cast<std::uint64_t>(seconds * sampleRate);
    }
    std::uint64_t BytesForMs(std::uint64_t ms) const { return FramesForMs(ms) * BytesPerFrame(); }
    double SecondsForFrames(std::uint64_t frames) const {
        return sampleRate > 0 ? static_cast<double>(frames) / sampleRate : 0.0;
    }
};

// Peak levels of one block of PCM: the largest magnitude of a sample of the left and of the
// right channel, 0 … 32768 (a mono stream gives the same value for both).
struct PeakLevel {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
};

// Facts about an opened file.
struct StreamInfo {
    std::string container;         // the reader's name: "mp3", "wav", "ogg", "asf", "aiff"
    std::string codec;             // the codec's name: "mp3", "mp2", "pcm_s16le", "vorbis", "wmav2"
    bool pcm = false;              // uncompressed samples: offsets move in whole sample frames
    int sampleRate = 0;            // of the source
    int channels = 0;              // of the source
    int blockAlign = 0;            // bytes of one sample frame in the file (PCM only)
    std::int64_t bitrate = 0;      // bits per second as the file states it; 0 when unknown
    std::uint64_t durationMs = 0;  // the length of the PCM the stream delivers
    bool exactLength = false;      // counted (PCM, or opened with prescan) rather than estimated
    std::uint64_t fileSize = 0;
    std::uint64_t dataStart = 0;  // file offset of the first audio data (MPEG: a frame start)
    std::uint64_t dataEnd = 0;    // file offset just after the last audio data
};

// A decoding stream on one file. Use from one thread at a time; several streams may be used on
// several threads. Release it (destroy the object) before the program ends.
class AudioStream {
  public:
    virtual ~AudioStream() = default;
    AudioStream() = default;
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    virtual const StreamInfo& Info() const = 0;
    // The PCM this stream delivers (the source's own, or what OpenOptions asked for).
    virtual PcmFormat Format() const = 0;

    // Reads up to `frames` sample frames of interleaved 16-bit PCM into `samples` (room for
    // frames × channels values). Returns the frames read: fewer only at the end of the stream,
    // then 0. Damaged stretches of a file are skipped.
    virtual std::size_t ReadPcm(std::int16_t* samples, std::size_t frames) = 0;

    // Reads the next 20 ms of PCM (fewer frames at the end) and gives their peak levels. False
    // when nothing is left.
    virtual bool ReadPeakLevel(PeakLevel& level) = 0;

    // Moves to a time (ms from the start of the stream); reading continues from the sample at
    // that time. False when the file cannot be repositioned. A time at or past the end leaves the
    // stream at its end.
    virtual bool Seek(std::uint64_t ms) = 0;

    // The file offset the last Seek landed on: for MPEG the start of the frame that holds the
    // time, for PCM the start of the sample frame at the time, for other formats the start of
    // the packet that holds it; DataEnd for a time past the end. Before any seek, DataStart.
    virtual std::uint64_t SeekFileOffset() const = 0;

    // Sample frames of Format() from the start of the stream to the reading position.
    virtual std::uint64_t PositionFrames() const = 0;
    // Whether reading has reached the end of the stream.
    virtual bool AtEnd() const = 0;
    // Packets the decoder refused or could not decode so far (they are skipped).
    virtual std::uint64_t DecodeErrors() const { return 0; }

    std::uint64_t DurationMs() const { return Info().durationMs; }
    double DurationSeconds() const { return static_cast<double>(Info().durationMs) / 1000.0; }
    double PositionSeconds() const { return Format().SecondsForFrames(PositionFrames()); }
    std::uint64_t PositionMs() const {
        int rate = Format().sampleRate;
        return rate > 0 ? PositionFrames() * 1000 / static_cast<std::uint64_t>(rate) : 0;
    }
};

}  // namespace partita::audio
