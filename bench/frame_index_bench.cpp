// How fast the frame index is built over a long VBR file in the page cache (target: at least
// 1 GB/s), and that opening such a file costs next to nothing.
//
// The benchmark makes its file: lame encodes a few seconds of generated tones at -V 2, and the
// encoded frames are repeated after the file's Xing frame up to 512 MiB, in a temporary folder
// that is removed at the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench_wav.h"
#include "mpeg/mpeg_analysis.h"

namespace fs = std::filesystem;
using partita::MpegAnalysis;

namespace {

constexpr std::uint64_t kTargetSize = 512ull * 1024 * 1024;

// 20 s of stereo tones whose pitch and loudness change, so a VBR encoder varies the bitrate.
void WriteWav(const fs::path& path) {
    partita::bench::WriteStereoWav(path, 20, [](double t) {
        double f = 220.0 * (1 + static_cast<int>(t * 2) % 7);
        double level = 0.1 + 0.4 * std::abs(std::sin(t));
        double noise =
            (static_cast<double>(std::rand()) / RAND_MAX - 0.5) * 0.2 * (static_cast<int>(t) % 3);
        auto s =
            static_cast<std::int16_t>(32767 * (level * std::sin(2 * M_PI * f * t) + noise) * 0.8);
        return std::pair(s, s);
    });
}

// The generated file, made once and removed when the program ends.
class LongFile {
  public:
    LongFile() {
        folder_ = fs::temp_directory_path() / ("partita-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        fs::path wav = folder_ / "tones.wav", encoded = folder_ / "tones.mp3";
        WriteWav(wav);
        std::string command = "lame --quiet -V 2 '" + wav.string() + "' '" + encoded.string() + "'";
        if (std::system(command.c_str()) != 0) {
            std::cerr << "lame failed\n";
            std::exit(1);
        }
        MpegAnalysis info;
        if (!info.Open(encoded.string()) || !info.streamFound ||
            info.vbrType == partita::VbrHeaderType::None) {
            std::cerr << "the encoded file has no Xing frame\n";
            std::exit(1);
        }
        std::ifstream in(encoded, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        const auto headerFrame = bytes.begin() + static_cast<long>(info.vbrFramePos);
        const auto audio = bytes.begin() + static_cast<long>(info.dataStart);
        const auto end = bytes.end() - (info.hasId3v1 ? 128 : 0);

        path_ = folder_ / "long.mp3";
        std::ofstream out(path_, std::ios::binary);
        out.write(&*headerFrame, audio - headerFrame);
        std::uint64_t written = static_cast<std::uint64_t>(audio - headerFrame);
        while (written < kTargetSize) {
            out.write(&*audio, end - audio);
            written += static_cast<std::uint64_t>(end - audio);
        }
        out.close();
        fs::remove(wav);
        fs::remove(encoded);
        // Read it once so the measurement sees the page cache, not the disk.
        std::ifstream warm(path_, std::ios::binary);
        std::vector<char> chunk(1 << 20);
        while (warm.read(chunk.data(), static_cast<std::streamsize>(chunk.size())))
            ;
    }
    ~LongFile() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    const fs::path& Path() const { return path_; }

  private:
    fs::path folder_;
    fs::path path_;
};

const LongFile& File() {
    static LongFile file;
    return file;
}

void BM_BuildFrameIndex(benchmark::State& state) {
    const std::string path = File().Path().string();
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        MpegAnalysis info;
        if (!info.Open(path) || !info.EnsureFrameIndex() || info.indexCount() == 0) {
            state.SkipWithError("index build failed");
            return;
        }
        bytes += info.fileLength - info.dataStart;
        benchmark::DoNotOptimize(info.index.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["GB/s"] =
        benchmark::Counter(static_cast<double>(bytes) / 1e9, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BuildFrameIndex)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_Open(benchmark::State& state) {
    const std::string path = File().Path().string();
    for (auto _ : state) {
        MpegAnalysis info;
        benchmark::DoNotOptimize(info.Open(path));
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
