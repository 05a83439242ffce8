#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <utility>

namespace partita::bench {

inline void PutLe(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Writes a canonical 16-bit stereo PCM WAV file (RIFF, fmt, data) of `seconds` at 44.1 kHz;
// `sampleAt(t)` gives the left and right samples at time t in seconds.
template <typename SampleAt>
void WriteStereoWav(const std::filesystem::path& path, std::uint32_t seconds, SampleAt sampleAt) {
    const std::uint32_t rate = 44100, channels = 2;
    const std::uint32_t samples = rate * seconds;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    PutLe(out, 36 + samples * channels * 2, 4);
    out.write("WAVEfmt ", 8);
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, channels, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    out.write("data", 4);
    PutLe(out, samples * channels * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const std::pair<std::int16_t, std::int16_t> s = sampleAt(static_cast<double>(i) / rate);
        PutLe(out, static_cast<std::uint16_t>(s.first), 2);
        PutLe(out, static_cast<std::uint16_t>(s.second), 2);
    }
}

}  // namespace partita::bench
