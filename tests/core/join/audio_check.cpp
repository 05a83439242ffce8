#include "audio_check.h"

#include <cmath>
#include <sstream>

#include "support/test_support.h"

namespace partita::test {

DecodedAudio DecodeWithFfmpeg(const std::filesystem::path& file) {
    DecodedAudio audio;
    std::string info;
    if (RunProgram(
            {"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
             "stream=sample_rate,channels", "-of", "default=noprint_wrappers=1", file.string()},
            &info) != 0)
        return audio;
    std::istringstream lines(info);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("sample_rate=", 0) == 0)
            audio.sampleRate = std::stoi(line.substr(12));
        else if (line.rfind("channels=", 0) == 0)
            audio.channels = std::stoi(line.substr(9));
    }
    std::filesystem::path raw = file.string() + ".decoded.raw";
    if (RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", file.string(), "-f", "s16le",
                    "-acodec", "pcm_s16le", raw.string()}) != 0)
        return audio;
    auto bytes = ReadFileBytes(raw);
    std::filesystem::remove(raw);
    audio.samples.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < audio.samples.size(); ++i)
        audio.samples[i] = static_cast<std::int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return audio;
}

namespace {
std::pair<std::size_t, std::size_t> FrameRange(const DecodedAudio& a, double fromMs, double toMs) {
    auto frame = [&](double ms) {
        auto f = static_cast<std::size_t>(std::max(0.0, ms) * a.sampleRate / 1000.0);
        return std::min(f, a.Frames());
    };
    return {frame(fromMs), frame(toMs)};
}
}  // namespace

double ToneFrequency(const DecodedAudio& a, double fromMs, double toMs, int channel) {
    auto [from, to] = FrameRange(a, fromMs, toMs);
    int crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t f = from + 1; f < to; ++f) {
        int prev = a.samples[(f - 1) * a.channels + channel];
        int cur = a.samples[f * a.channels + channel];
        if (prev < 0 && cur >= 0) {
            if (crossings == 0)
                first = f;
            last = f;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return (crossings - 1) * static_cast<double>(a.sampleRate) / static_cast<double>(last - first);
}

double RmsLevel(const DecodedAudio& a, double fromMs, double toMs, int channel) {
    auto [from, to] = FrameRange(a, fromMs, toMs);
    if (to <= from)
        return 0;
    double sum = 0;
    for (std::size_t f = from; f < to; ++f) {
        double v = a.samples[f * a.channels + channel] / 32768.0;
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

double FirstLoudMs(const DecodedAudio& a, double level) {
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        if (std::abs(a.samples[i] / 32768.0) > level)
            return 1000.0 * static_cast<double>(i / a.channels) / a.sampleRate;
    }
    return -1;
}

double LastLoudMs(const DecodedAudio& a, double level) {
    for (std::size_t i = a.samples.size(); i-- > 0;) {
        if (std::abs(a.samples[i] / 32768.0) > level)
            return 1000.0 * static_cast<double>(i / a.channels) / a.sampleRate;
    }
    return -1;
}

}  // namespace partita::test
