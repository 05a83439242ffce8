// Joining, program against program, every input in the page cache:
// - a direct merge of ten 3-minute 128 kbit/s MP3 files against cat of the same files (target:
//   at most 1.5 times cat's wall time);
// - a convert merge of three 20-second WAV files against lame encoding the same minute of audio
//   from one WAV file with the same quality switch (target: at most 1.15 times lame's time).
//
// The benchmark makes its files in a temporary folder that is removed at the end: lame encodes
// 20 s of generated tones at 128 kbit/s without an Info frame, and the frames are repeated up
// to 3 minutes per file. Each timing includes a program start.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "bench_wav.h"

namespace fs = std::filesystem;

namespace {

// `seconds` of stereo tones at 44.1 kHz; `first` shifts the tune so files differ.
void WriteWav(const fs::path& path, std::uint32_t seconds, int first) {
    partita::bench::WriteStereoWav(path, seconds, [first](double t) {
        double f = 220.0 * (1 + (first + static_cast<int>(t * 2)) % 7);
        auto s = static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * f * t));
        return std::pair<std::int16_t, std::int16_t>(s, static_cast<std::int16_t>(s / 2));
    });
}

// Runs a program, its standard output into `stdoutFile` when given, and waits for it.
void RunChild(const std::vector<std::string>& argv, const fs::path& stdoutFile = {}) {
    pid_t pid = ::fork();
    if (pid == 0) {
        if (!stdoutFile.empty()) {
            int fd = ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0)
                ::_exit(126);
            ::dup2(fd, STDOUT_FILENO);
            ::close(fd);
        }
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << argv[0] << " failed\n";
        std::exit(1);
    }
}

void Warm(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(1 << 20);
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())))
        continue;
}

// The generated files, made on first use and removed when the program ends.
class Files {
  public:
    Files() {
        folder_ = fs::temp_directory_path() / ("partita-merge-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        settings_ = folder_ / "settings.ini";
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // Ten MP3 files of 3 minutes each.
    const std::vector<std::string>& Mp3s() {
        if (!mp3s_.empty())
            return mp3s_;
        for (int i = 0; i < 10; ++i) {
            fs::path wav = folder_ / "clip.wav";
            fs::path clip = folder_ / "clip.mp3";
            WriteWav(wav, 20, i);
            RunChild({"lame", "--quiet", "-t", "-b", "128", wav.string(), clip.string()});
            std::ifstream in(clip, std::ios::binary);
            std::string frames((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
            fs::path path = folder_ / ("part-" + std::to_string(i) + ".mp3");
            std::ofstream out(path, std::ios::binary);
            for (int k = 0; k < 9; ++k)  // 9 x 20 s = 3 minutes
                out.write(frames.data(), static_cast<std::streamsize>(frames.size()));
            out.close();
            Warm(path);
            mp3s_.push_back(path.string());
        }
        return mp3s_;
    }

    // Three WAV files of 20 s, and one WAV of the same minute for lame alone.
    const std::vector<std::string>& Wavs() {
        if (!wavs_.empty())
            return wavs_;
        for (int i = 0; i < 3; ++i) {
            fs::path path = folder_ / ("part-" + std::to_string(i) + ".wav");
            WriteWav(path, 20, 3 * i);
            Warm(path);
            wavs_.push_back(path.string());
        }
        whole_ = folder_ / "whole.wav";
        WriteWav(whole_, 60, 0);
        Warm(whole_);
        return wavs_;
    }
    const fs::path& WholeWav() const { return whole_; }
    fs::path Output(const std::string& name) const { return folder_ / name; }
    std::string Settings() const { return settings_.string(); }

  private:
    fs::path folder_, settings_, whole_;
    std::vector<std::string> mp3s_, wavs_;
};

Files& TheFiles() {
    static Files files;
    return files;
}

std::int64_t TotalSize(const std::vector<std::string>& files) {
    std::int64_t total = 0;
    for (const auto& f : files)
        total += static_cast<std::int64_t>(fs::file_size(f));
    return total;
}

void BM_CatTenFiles(benchmark::State& state) {
    const auto& files = TheFiles().Mp3s();
    std::vector<std::string> argv{"cat"};
    argv.insert(argv.end(), files.begin(), files.end());
    fs::path out = TheFiles().Output("cat.mp3");
    for (auto _ : state)
        RunChild(argv, out);
    state.SetBytesProcessed(state.iterations() * TotalSize(files));
    fs::remove(out);
}

void BM_DirectMergeTenFiles(benchmark::State& state) {
    const auto& files = TheFiles().Mp3s();
    std::vector<std::string> argv{PARTITA_CLI_PATH, "--settings", TheFiles().Settings(), "merge"};
    argv.insert(argv.end(), files.begin(), files.end());
    fs::path out = TheFiles().Output("merged.mp3");
    argv.insert(argv.end(), {"-o", out.string(), "--mode", "direct", "--overwrite", "--quiet"});
    for (auto _ : state)
        RunChild(argv);
    state.SetBytesProcessed(state.iterations() * TotalSize(files));
    fs::remove(out);
}

void BM_LameAlone(benchmark::State& state) {
    TheFiles().Wavs();
    fs::path out = TheFiles().Output("lame.mp3");
    for (auto _ : state)
        RunChild({"lame", "--quiet", "-h", TheFiles().WholeWav().string(), out.string()});
    fs::remove(out);
}

void BM_ConvertMergeWav(benchmark::State& state) {
    const auto& files = TheFiles().Wavs();
    std::vector<std::string> argv{PARTITA_CLI_PATH, "--settings", TheFiles().Settings(), "merge"};
    argv.insert(argv.end(), files.begin(), files.end());
    fs::path out = TheFiles().Output("converted.mp3");
    argv.insert(argv.end(), {"-o", out.string(), "--mode", "convert", "--overwrite", "--quiet"});
    for (auto _ : state)
        RunChild(argv);
    fs::remove(out);
}

}  // namespace

BENCHMARK(BM_CatTenFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DirectMergeTenFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LameAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_ConvertMergeWav)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
