// Preview on a 60-minute VBR MP3 made once per run with the lame program:
//   starting playback at a random position of the pre-scanned stream (target: under 100 ms,
//   the sink's first 100 ms of PCM included), and the same without the pre-scan;
//   opening the stream with the pre-scan (done once when a source becomes current);
//   the first chunk of the peak envelope (target: under 1 s) and the whole envelope, against
//   one decode of the file to PCM (target: about the same);
//   how long cancelling a running envelope reading takes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "audio/audio_engine.h"
#include "audio/peak_envelope.h"
#include "preview_player.h"

namespace {

namespace fs = std::filesystem;
using partita::audio::EnvelopeChunk;
using partita::audio::PeakEnvelopeCache;

constexpr int kSeconds = 3600;
constexpr int kRate = 44100;

struct Files {
    fs::path folder;
    fs::path mp3;

    Files() {
        folder =
            fs::temp_directory_path() / ("partita-bench-preview-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        mp3 = folder / "hour.mp3";
        std::string command =
            "lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -V 4 - '" +
            mp3.string() + "'";
        FILE* lame = ::popen(command.c_str(), "w");
        if (!lame)
            std::abort();
        WritePcm(lame);
        if (::pclose(lame) != 0)
            std::abort();
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    // Stereo phrases of changing pitch and loudness, with a pause every half minute, so that the
    // VBR encoder varies its frames.
    static void WritePcm(FILE* out) {
        std::vector<std::int16_t> block(2 * kRate);
        std::minstd_rand noise(7);
        for (int second = 0; second < kSeconds; ++second) {
            const bool pause = second % 30 == 29;
            const double pitch = 110.0 * (1 + second % 7);
            for (int i = 0; i < kRate; ++i) {
                double envelope = pause ? 0.0 : 0.5 * (1 - double(i) / kRate);
                double tone = std::sin(2 * std::numbers::pi * pitch * i / kRate);
                double hiss = (double(noise()) / noise.max() - 0.5) * 0.05;
                auto sample =
                    static_cast<std::int16_t>(32767 * (envelope * tone + (pause ? 0 : hiss)));
                block[2 * i] = sample;
                block[2 * i + 1] = static_cast<std::int16_t>(sample / 2);
            }
            std::fwrite(block.data(), sizeof(std::int16_t), block.size(), out);
        }
    }
};

const Files& TestFiles() {
    static const Files files;
    return files;
}

// Pulls what a device's first buffer takes at the start (100 ms) and nothing more.
class BenchSink : public partita::gui::PreviewSink {
  public:
    bool Available() const override { return true; }
    bool Start(const partita::audio::PcmFormat& format, partita::gui::PcmSource& source) override {
        std::vector<std::int16_t> buffer(format.FramesForMs(100) * format.channels);
        benchmark::DoNotOptimize(source.Pull(buffer.data(), format.FramesForMs(100)));
        return true;
    }
    void Stop() override {}
    void SetPaused(bool) override {}
    std::uint64_t PlayedFrames() const override { return 0; }
    bool Drained() const override { return false; }
};

void StartPlayback(benchmark::State& state, bool prescan) {
    partita::gui::PreviewPlayer player(std::make_unique<BenchSink>());
    const auto length = static_cast<std::uint64_t>(kSeconds) * 1000;
    if (player.SetSource(TestFiles().mp3.string(), length, prescan) !=
        partita::audio::OpenError::None) {
        state.SkipWithError("cannot open");
        return;
    }
    std::minstd_rand random(11);
    for (auto _ : state) {
        state.PauseTiming();
        player.Stop();
        player.SetPosition(random() % length);
        state.ResumeTiming();
        player.PlayFromPosition();
    }
}

void BM_StartPlaybackPrescanned(benchmark::State& state) {
    StartPlayback(state, true);
}
BENCHMARK(BM_StartPlaybackPrescanned)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_StartPlaybackWithoutPrescan(benchmark::State& state) {
    StartPlayback(state, false);
}
BENCHMARK(BM_StartPlaybackWithoutPrescan)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_OpenPrescanned(benchmark::State& state) {
    partita::audio::OpenOptions options;
    options.prescan = true;
    std::uint64_t length = 0;
    for (auto _ : state)
        length = partita::audio::OpenAudioStream(TestFiles().mp3, options).stream->DurationMs();
    state.counters["minutes"] = double(length) / 60000;
    state.counters["MB"] = double(fs::file_size(TestFiles().mp3)) / 1e6;
}
BENCHMARK(BM_OpenPrescanned)->Unit(benchmark::kMillisecond)->Iterations(3);

// Waits for the chunks of one reading.
struct Arrivals {
    std::mutex mutex;
    std::condition_variable changed;
    int chunks = 0;
    bool finished = false;

    PeakEnvelopeCache::Delivery Delivery() {
        return [this](EnvelopeChunk chunk) {
            std::lock_guard lock(mutex);
            ++chunks;
            finished = chunk.finished;
            changed.notify_all();
        };
    }
    void WaitFor(bool whole) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return whole ? finished : chunks > 0; });
    }
};

void BM_EnvelopeFirstChunk(benchmark::State& state) {
    for (auto _ : state) {
        Arrivals arrivals;
        PeakEnvelopeCache cache(arrivals.Delivery());
        cache.Request(TestFiles().mp3.string());
        arrivals.WaitFor(false);
        state.PauseTiming();
        cache.Cancel();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EnvelopeFirstChunk)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

void BM_EnvelopeWhole(benchmark::State& state) {
    int chunks = 0;
    for (auto _ : state) {
        Arrivals arrivals;
        PeakEnvelopeCache cache(arrivals.Delivery());
        cache.Request(TestFiles().mp3.string());
        arrivals.WaitFor(true);
        chunks = arrivals.chunks;
    }
    state.counters["chunks"] = chunks;
}
BENCHMARK(BM_EnvelopeWhole)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The yardstick: one decode of the whole file to PCM.
void BM_DecodeOnce(benchmark::State& state) {
    std::vector<std::int16_t> buffer(2 * 65536);
    for (auto _ : state) {
        auto opened = partita::audio::OpenAudioStream(TestFiles().mp3);
        while (opened.stream->ReadPcm(buffer.data(), 65536) > 0) {
        }
    }
}
BENCHMARK(BM_DecodeOnce)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_EnvelopeCancel(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Arrivals arrivals;
        PeakEnvelopeCache cache(arrivals.Delivery());
        cache.Request(TestFiles().mp3.string());
        arrivals.WaitFor(false);
        state.ResumeTiming();
        cache.Cancel();
    }
}
BENCHMARK(BM_EnvelopeCancel)->Unit(benchmark::kMicrosecond)->Iterations(10)->UseRealTime();

}  // namespace

// The player's timer needs an application object.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    TestFiles();  // made before any timing
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
