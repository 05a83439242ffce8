#include "audio_fixtures.h"

#include <array>
#include <fstream>

namespace partita::test {

void ConvertWithFfmpeg(const fs::path& from, const fs::path& to,
                       const std::vector<std::string>& options) {
    std::vector<std::string> argv{"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", from.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(to.string());
    std::string output;
    ASSERT_EQ(RunProgram(argv, &output), 0) << output;
}

fs::path MakeWavFile(const fs::path& folder, const std::string& name,
                     const std::vector<ToneSegment>& segments, std::uint32_t sampleRate,
                     std::uint16_t channels) {
    fs::path wav = folder / name;
    WriteWav(wav, SynthesizePcm(segments, sampleRate, channels), sampleRate, channels);
    return wav;
}

fs::path MakeEncodedFile(const fs::path& folder, const std::string& name,
                         const std::vector<ToneSegment>& segments,
                         const std::vector<std::string>& options) {
    fs::path wav = MakeWavFile(folder, name + ".source.wav", segments);
    fs::path target = folder / name;
    ConvertWithFfmpeg(wav, target, options);
    fs::remove(wav);
    return target;
}

std::int64_t Mpg123Frames(const fs::path& mp3) {
    fs::path wav = mp3.string() + ".mpg123.wav";
    std::string output;
    if (RunProgram({"mpg123", "-q", "-w", wav.string(), mp3.string()}, &output) != 0)
        return -1;
    auto bytes = ReadFileBytes(wav);
    fs::remove(wav);
    if (bytes.size() < 44)
        return -1;
    int channels = bytes[22] | bytes[23] << 8;
    return static_cast<std::int64_t>((bytes.size() - 44) / (2 * channels));
}

double ProbeStartSeconds(const fs::path& file) {
    std::string output;
    if (RunProgram(
            {"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
             "stream=start_time", "-of", "default=noprint_wrappers=1:nokey=1", file.string()},
            &output) != 0)
        return -1;
    try {
        return std::stod(output);
    } catch (...) {
        return -1;
    }
}

std::vector<std::uint64_t> MpegFrameStarts(const fs::path& file) {
    // Layer III only: the tests make their MPEG files with lame.
    static constexpr std::array<int, 16> kMpeg1{0,   32,  40,  48,  56,  64,  80,  96,
                                                112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr std::array<int, 16> kMpeg2{0,  8,  16, 24,  32,  40,  48,  56,
                                                64, 80, 96, 112, 128, 144, 160, 0};
    static constexpr std::array<int, 3> kRates{44100, 48000, 32000};
    auto bytes = ReadFileBytes(file);
    std::vector<std::uint64_t> starts;
    std::size_t at = 0;
    if (bytes.size() > 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
        at = 10 + (std::size_t(bytes[6]) << 21 | std::size_t(bytes[7]) << 14 |
                   std::size_t(bytes[8]) << 7 | bytes[9]);
    }
    while (at + 4 <= bytes.size()) {
        const std::uint8_t* h = bytes.data() + at;
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1)
            break;
        int version = (h[1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
        int rateIndex = (h[2] >> 2) & 3;
        int bitrate = (version == 3 ? kMpeg1 : kMpeg2)[h[2] >> 4];
        if (version == 1 || rateIndex == 3 || bitrate == 0)
            break;
        int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
        std::size_t length = (version == 3 ? 144 : 72) * bitrate * 1000 / rate + ((h[2] >> 1) & 1);
        starts.push_back(at);
        at += length;
    }
    return starts;
}

}  // namespace partita::test
