// Silence detection runs at the speed of decoding: its wall time on a file is compared with
// that of `ffmpeg -i FILE -f null -` on the same file (target: at most 1.2 times).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/job_host.h"
#include "split/stream_peak_source.h"

namespace {
namespace fs = std::filesystem;
using partita::CompletionReply;
using partita::CompletionReport;
using partita::FailureAnswer;
using partita::MessageKind;
using partita::Msg;
using partita::OverwriteReply;
using partita::StopAnswer;
using partita::UserMessage;

// A host that answers nothing and shows nothing: only the detection's own cost remains.
class QuietHost : public partita::JobHost {
  public:
    void ShowMessage(MessageKind, const UserMessage&) override {}
    bool AskYesNo(const UserMessage&) override { return true; }
    bool ShowInfoWithToggle(const UserMessage&, const std::string&, bool) override { return true; }
    OverwriteReply AskOverwrite(const std::string&) override { return {}; }
    StopAnswer AskStop(const std::string&) override { return StopAnswer::Continue; }
    FailureAnswer AskFailure(const UserMessage&) override { return FailureAnswer::Ignore; }
    std::optional<std::string> ChooseFolder(Msg, const std::string&) override {
        return std::nullopt;
    }
    void SetProgress(std::uint64_t, std::uint64_t) override {}
    void SetStatus(const std::string&) override {}
    bool TakeStopRequest() override { return false; }
    CompletionReply ShowCompletion(const CompletionReport&) override { return {}; }
    void OpenFolder(const std::string&) override {}
    void PlayFile(const std::string&) override {}
};

// Ten minutes of stereo tones, each minute ending in three seconds of silence.
void WriteTestWav(const fs::path& path) {
    const std::uint32_t rate = 44100, seconds = 600;
    std::vector<std::int16_t> pcm;
    pcm.reserve(std::size_t{rate} * seconds * 2);
    for (std::uint32_t i = 0; i < rate * seconds; ++i) {
        bool silent = (i / rate) % 60 >= 57;
        auto v = static_cast<std::int16_t>(
            silent ? 0 : 12000 * std::sin(2 * M_PI * (220 + (i / rate / 60) * 55) * i / rate));
        pcm.push_back(v);
        pcm.push_back(v);
    }
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    std::uint32_t bytes = static_cast<std::uint32_t>(pcm.size() * 2);
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(rate);
    u32(rate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(pcm.data()), bytes);
}

const fs::path& TestMp3() {
    static const fs::path file = [] {
        fs::path folder = fs::temp_directory_path() / "partita_silence_bench";
        fs::create_directories(folder);
        fs::path wav = folder / "tones.wav", mp3 = folder / "tones.mp3";
        if (!fs::exists(mp3)) {
            WriteTestWav(wav);
            std::string command =
                "lame --quiet -b 128 '" + wav.string() + "' '" + mp3.string() + "'";
            if (std::system(command.c_str()) != 0)
                std::abort();
            fs::remove(wav);
        }
        return mp3;
    }();
    return file;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The reference: ffmpeg decoding the file to nothing.
void BM_FfmpegNullDecode(benchmark::State& state) {
    std::string command = "ffmpeg -v error -nostdin -i '" + TestMp3().string() + "' -f null -";
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("ffmpeg failed");
        state.SetIterationTime(Seconds(std::chrono::steady_clock::now() - start));
    }
}
BENCHMARK(BM_FfmpegNullDecode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Opening the source and detecting its silences.
void BM_DetectSilence(benchmark::State& state) {
    QuietHost host;
    int found = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        auto peaks = partita::OpenPeakSource(TestMp3().string(), false);
        if (!peaks) {
            state.SkipWithError("the audio layer cannot open the file");
            break;
        }
        partita::SilenceScan scan =
            partita::DetectSilence(*peaks, partita::SilenceOptions{}, host, "tones.mp3");
        found = scan.silenceCount;
        state.SetIterationTime(Seconds(std::chrono::steady_clock::now() - start));
    }
    state.counters["silences"] = found;
}
BENCHMARK(BM_DetectSilence)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
