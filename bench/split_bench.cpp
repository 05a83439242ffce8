// Splitting an hour of 128 kbit/s MP3 into 12 tracks, against copying the same file with cp
// (target: at most 1.5 times cp's wall time, both from the page cache), and the peak memory of
// the split program (target: under 64 MB whatever the file size; a ten-hour file shows it).
// Sample-accurate splitting walks every frame and writes a LAME tag into every track (target:
// at most 1.5 times the plain split).
//
// The benchmark makes its files: lame encodes 20 s of generated tones at 128 kbit/s without an
// Info frame, and the encoded frames are repeated up to the wanted length, in a temporary folder
// that is removed at the end. Both programs run as child processes, so each timing includes a
// program start.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "bench_wav.h"

namespace fs = std::filesystem;

namespace {

// 20 s of stereo tones.
void WriteWav(const fs::path& path) {
    partita::bench::WriteStereoWav(path, 20, [](double t) {
        double f = 220.0 * (1 + static_cast<int>(t * 2) % 7);
        auto s = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * f * t));
        return std::pair(s, s);
    });
}

// Runs a program and waits for it; returns its peak resident memory in KiB (0 on failure).
long RunChild(const std::vector<std::string>& argv) {
    pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << argv[0] << " failed\n";
        std::exit(1);
    }
    return usage.ru_maxrss;
}

// The generated files, made on first use and removed when the program ends.
class Files {
  public:
    Files() {
        folder_ = fs::temp_directory_path() / ("partita-split-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        fs::path wav = folder_ / "tones.wav";
        clip_ = folder_ / "clip.mp3";
        WriteWav(wav);
        if (std::system(("lame --quiet -t -b 128 '" + wav.string() + "' '" + clip_.string() + "'")
                            .c_str()) != 0) {
            std::cerr << "lame failed\n";
            std::exit(1);
        }
        settings_ = folder_ / "settings.ini";
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // An MP3 of about `minutes` minutes, read once so it is in the page cache.
    const fs::path& Source(int minutes) {
        auto it = sources_.find(minutes);
        if (it != sources_.end())
            return it->second;
        std::ifstream in(clip_, std::ios::binary);
        std::string frames((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        fs::path path = folder_ / ("source-" + std::to_string(minutes) + ".mp3");
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < minutes * 3; ++i)
            out.write(frames.data(), static_cast<std::streamsize>(frames.size()));
        out.close();
        // Read once, so both programs find it in the page cache.
        std::ifstream warm(path, std::ios::binary);
        std::vector<char> block(1 << 20);
        while (warm.read(block.data(), static_cast<std::streamsize>(block.size())))
            continue;
        return sources_.emplace(minutes, path).first->second;
    }
    fs::path Output(const std::string& name) const { return folder_ / name; }
    const fs::path& Settings() const { return settings_; }

  private:
    fs::path folder_, clip_, settings_;
    std::map<int, fs::path> sources_;
};

Files& TheFiles() {
    static Files files;
    return files;
}

// Split points that cut `minutes` minutes into 12 equal tracks, in seconds.
std::string TwelvePoints(int minutes) {
    std::string points;
    for (int i = 1; i < 12; ++i)
        points += (i > 1 ? "," : "") + std::to_string(minutes * 60 * i / 12);
    return points;
}

void BM_CopyWithCp(benchmark::State& state) {
    const int minutes = static_cast<int>(state.range(0));
    const fs::path& source = TheFiles().Source(minutes);
    fs::path copy = TheFiles().Output("copy.mp3");
    for (auto _ : state) {
        RunChild({"cp", source.string(), copy.string()});
        // Each copy writes a new file, as each split does.
        state.PauseTiming();
        fs::remove(copy);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(source)));
}

void BM_SplitTwelveTracks(benchmark::State& state, const char* mode) {
    const int minutes = static_cast<int>(state.range(0));
    const fs::path& source = TheFiles().Source(minutes);
    fs::path out = TheFiles().Output("tracks");
    long peakKiB = 0;
    std::vector<std::string> command{PARTITA_CLI_PATH,
                                     "--settings",
                                     TheFiles().Settings().string(),
                                     "split",
                                     source.string(),
                                     "-o",
                                     out.string(),
                                     "--rule",
                                     "%F-%S",
                                     "--at",
                                     TwelvePoints(minutes),
                                     "--quiet"};
    if (*mode)
        command.push_back(mode);
    for (auto _ : state) {
        peakKiB = std::max(peakKiB, RunChild(command));
        state.PauseTiming();
        fs::remove_all(out);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(source)));
    state.counters["peak_MB"] = static_cast<double>(peakKiB) / 1024.0;
}

// The machine may be busy with other work: the fastest of the repetitions is the cost.
double Fastest(const std::vector<double>& times) {
    return times.empty() ? 0 : *std::min_element(times.begin(), times.end());
}

// An hour and ten hours, the fastest of seven runs.
void HourAndTenHours(benchmark::internal::Benchmark* b) {
    b->Arg(60)
        ->Arg(600)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Repetitions(7)
        ->ComputeStatistics("min", Fastest);
}

}  // namespace

BENCHMARK(BM_CopyWithCp)->Apply(HourAndTenHours);
BENCHMARK_CAPTURE(BM_SplitTwelveTracks, plain, "")->Apply(HourAndTenHours);
BENCHMARK_CAPTURE(BM_SplitTwelveTracks, sample_accurate, "--sample-accurate")
    ->Apply(HourAndTenHours);

BENCHMARK_MAIN();
