#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace partita::test {

// What an independent decoder (ffmpeg) makes of a file.
struct DecodedAudio {
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;  // interleaved

    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    double DurationMs() const { return sampleRate ? 1000.0 * Frames() / sampleRate : 0; }
};

// How much longer an encoded file may decode than its input: the encoder's delay (576 + 529
// samples) and one frame of padding, when the encoder writes no header that lets a decoder trim
// them (it writes none into small frames).
inline double EncoderSlackMs(int sampleRate) {
    return (576 + 529 + 1152) * 1000.0 / sampleRate;
}

// Decodes a file with ffmpeg to signed 16-bit PCM in its own rate and channels; empty on failure.
DecodedAudio DecodeWithFfmpeg(const std::filesystem::path& file);

// Frequency in Hz of the channel `channel` between two times, from its zero crossings.
double ToneFrequency(const DecodedAudio& audio, double fromMs, double toMs, int channel = 0);
// RMS level (full scale = 1) of a channel between two times.
double RmsLevel(const DecodedAudio& audio, double fromMs, double toMs, int channel = 0);
// The time of the first and the last sample louder than `level` (full scale = 1); -1 when none.
double FirstLoudMs(const DecodedAudio& audio, double level);
double LastLoudMs(const DecodedAudio& audio, double level);

}  // namespace partita::test
