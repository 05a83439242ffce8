// Speed of the audio layer on generated files: a WAV and an MP3 of ten minutes.
//   decoding MP3 to PCM (as the convert merge does), with conversion to 22.05 kHz mono,
//   reading 20 ms peak levels (silence detection), the pre-scan of frame mode, and opening.
// Files are made once per run in a temporary folder with the lame program.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "audio/audio_engine.h"

namespace {

namespace fs = std::filesystem;
using partita::audio::OpenAudioStream;
using partita::audio::OpenOptions;

constexpr int kSeconds = 600;
constexpr int kRate = 44100;

struct Files {
    fs::path folder;
    fs::path wav;
    fs::path mp3;

    Files() {
        folder = fs::temp_directory_path() / ("partita-bench-audio-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        wav = folder / "long.wav";
        mp3 = folder / "long.mp3";
        WriteWav();
        std::string command = "lame --quiet -V 4 '" + wav.string() + "' '" + mp3.string() + "'";
        if (std::system(command.c_str()) != 0)
            std::abort();
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    // Tones with pauses, stereo 16-bit.
    void WriteWav() const {
        const std::uint32_t frames = kSeconds * kRate;
        const std::uint32_t bytes = frames * 4;
        std::ofstream out(wav, std::ios::binary);
        auto put32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
        auto put16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
        out.write("RIFF", 4);
        put32(36 + bytes);
        out.write("WAVEfmt ", 8);
        put32(16);
        put16(1);
        put16(2);
        put32(kRate);
        put32(kRate * 4);
        put16(4);
        put16(16);
        out.write("data", 4);
        put32(bytes);
        std::vector<std::int16_t> block(2 * kRate);
        for (int second = 0; second < kSeconds; ++second) {
            double level = second % 10 == 9 ? 0.0 : 0.4;
            for (int i = 0; i < kRate; ++i) {
                auto s = static_cast<std::int16_t>(
                    level * 32767 * std::sin(2 * std::numbers::pi * (220 + second) * i / kRate));
                block[2 * i] = s;
                block[2 * i + 1] = s;
            }
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * 2));
        }
    }
};

const Files& TestFiles() {
    static const Files files;
    return files;
}

void ReadAll(benchmark::State& state, const fs::path& path, OpenOptions options) {
    std::vector<std::int16_t> buffer(2 * 65536);
    for (auto _ : state) {
        auto opened = OpenAudioStream(path, options);
        if (!opened) {
            state.SkipWithError("cannot open");
            return;
        }
        std::uint64_t frames = 0;
        while (std::size_t got = opened.stream->ReadPcm(buffer.data(), 65536))
            frames += got;
        benchmark::DoNotOptimize(frames);
    }
    // Audio seconds decoded per second of run time.
    state.counters["x realtime"] = benchmark::Counter(double(kSeconds) * double(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

void BM_DecodeMp3(benchmark::State& state) {
    ReadAll(state, TestFiles().mp3, {});
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);

void BM_DecodeMp3To22kMono(benchmark::State& state) {
    OpenOptions options;
    options.sampleRate = 22050;
    options.channels = 1;
    ReadAll(state, TestFiles().mp3, options);
}
BENCHMARK(BM_DecodeMp3To22kMono)->Unit(benchmark::kMillisecond);

void BM_ReadWav(benchmark::State& state) {
    ReadAll(state, TestFiles().wav, {});
}
BENCHMARK(BM_ReadWav)->Unit(benchmark::kMillisecond);

void BM_PeakLevelsMp3(benchmark::State& state) {
    for (auto _ : state) {
        auto opened = OpenAudioStream(TestFiles().mp3);
        partita::audio::PeakLevel level;
        int blocks = 0;
        while (opened.stream->ReadPeakLevel(level))
            ++blocks;
        benchmark::DoNotOptimize(blocks);
    }
    state.counters["x realtime"] = benchmark::Counter(double(kSeconds) * double(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PeakLevelsMp3)->Unit(benchmark::kMillisecond);

void BM_OpenMp3(benchmark::State& state) {
    OpenOptions options;
    options.prescan = state.range(0) != 0;
    for (auto _ : state) {
        auto opened = OpenAudioStream(TestFiles().mp3, options);
        benchmark::DoNotOptimize(opened.stream->DurationMs());
        // Nine seeks across the file, as the mapping probe of a split source makes.
        for (int i = 1; i <= 9; ++i)
            opened.stream->Seek(std::uint64_t(i) * kSeconds * 100);
    }
}
BENCHMARK(BM_OpenMp3)->Arg(0)->Arg(1)->ArgName("prescan")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
