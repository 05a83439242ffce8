#include "support/test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

namespace partita::test {

TempDir::TempDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string base = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
    for (char& c : base) {
        if (c == '/' || c == ' ')
            c = '_';
    }
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("partita-" + base + "-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

fs::path CorpusFile(const std::string& name) {
    return fs::path(PARTITA_CORPUS_DIR) / name;
}

fs::path CopyCorpusFile(const std::string& name, const fs::path& folder) {
    fs::path target = folder / name;
    fs::copy_file(CorpusFile(name), target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    return target;
}

std::vector<std::uint8_t> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteFileText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::vector<std::int16_t> SynthesizePcm(const std::vector<ToneSegment>& segments,
                                        std::uint32_t sampleRate, std::uint16_t channels) {
    std::vector<std::int16_t> pcm;
    double phase = 0;
    for (const ToneSegment& segment : segments) {
        std::uint64_t frames = static_cast<std::uint64_t>(segment.ms) * sampleRate / 1000;
        for (std::uint64_t i = 0; i < frames; ++i) {
            double value = 0;
            if (segment.frequency > 0) {
                value = segment.level * std::sin(phase);
                phase += 2 * std::numbers::pi * segment.frequency / sampleRate;
                if (phase > 2 * std::numbers::pi)
                    phase -= 2 * std::numbers::pi;
            }
            auto sample = static_cast<std::int16_t>(std::lround(value * 32767));
            for (std::uint16_t c = 0; c < channels; ++c)
                pcm.push_back(sample);
        }
    }
    return pcm;
}

namespace {
void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
}  // namespace

void WriteWav(const fs::path& path, const std::vector<std::int16_t>& samples,
              std::uint32_t sampleRate, std::uint16_t channels) {
    std::vector<std::uint8_t> out;
    auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLe(out, 36 + dataSize, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);
    PutLe(out, channels, 2);
    PutLe(out, sampleRate, 4);
    PutLe(out, sampleRate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLe(out, dataSize, 4);
    for (std::int16_t s : samples)
        PutLe(out, static_cast<std::uint16_t>(s), 2);
    WriteFileBytes(path, out);
}

int RunProgram(const std::vector<std::string>& argv, std::string* output) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return -1;
    pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        int devnull = ::open("/dev/null", O_RDONLY);
        if (devnull >= 0)
            ::dup2(devnull, STDIN_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    // A program that prints nothing for ten minutes, or whose output stays open past its end
    // (a child of its own holding the pipe), is killed: a hang fails its test, not the run.
    constexpr int kQuietLimitMs = 600000;
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    pollfd readable{pipeFds[0], POLLIN, 0};
    while (::poll(&readable, 1, kQuietLimitMs) > 0 &&
           (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, n);
    ::close(pipeFds[0]);
    int status = WaitOrKill(pid, 10);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int WaitOrKill(int pid, double seconds) {
    constexpr int kStepUs = 100000;
    int status = 0;
    pid_t ended = 0;
    for (int i = 0; i < seconds * 10 && (ended = ::waitpid(pid, &status, WNOHANG)) == 0; ++i)
        ::usleep(kStepUs);
    if (ended == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    return status;
}

void EncodeWithLame(const fs::path& wav, const fs::path& mp3,
                    const std::vector<std::string>& options) {
    std::vector<std::string> argv{"lame", "--quiet"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(wav.string());
    argv.push_back(mp3.string());
    std::string output;
    ASSERT_EQ(RunProgram(argv, &output), 0) << output;
}

fs::path MakeMp3(const fs::path& folder, const std::string& name,
                 const std::vector<ToneSegment>& segments, const std::vector<std::string>& options,
                 std::uint32_t sampleRate, std::uint16_t channels) {
    fs::path wav = folder / (name + ".source.wav");
    fs::path mp3 = folder / name;
    WriteWav(wav, SynthesizePcm(segments, sampleRate, channels), sampleRate, channels);
    EncodeWithLame(wav, mp3, options);
    fs::remove(wav);
    return mp3;
}

double ProbeDurationMs(const fs::path& file) {
    std::string output;
    int code = RunProgram({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                           "default=noprint_wrappers=1:nokey=1", file.string()},
                          &output);
    if (code != 0)
        return -1;
    try {
        return std::stod(output) * 1000.0;
    } catch (...) {
        return -1;
    }
}

std::vector<std::int16_t> DecodePcm(const fs::path& file, const std::string& decoder) {
    std::vector<std::string> argv =
        decoder == "mpg123" ? std::vector<std::string>{"mpg123", "-q", "-s", file.string()}
                            : std::vector<std::string>{"ffmpeg",  "-nostdin",    "-v", "quiet",
                                                       "-i",      file.string(), "-f", "s16le",
                                                       "-acodec", "pcm_s16le",   "-"};
    std::string output;
    if (RunProgram(argv, &output) != 0)
        return {};
    std::vector<std::int16_t> samples(output.size() / 2);
    std::memcpy(samples.data(), output.data(), samples.size() * 2);
    return samples;
}

bool DecodesCleanly(const fs::path& file, std::string* errors) {
    std::string output;
    int code = RunProgram(
        {"ffmpeg", "-nostdin", "-v", "error", "-i", file.string(), "-f", "null", "-"}, &output);
    if (errors)
        *errors = output;
    return code == 0 && output.empty();
}

}  // namespace partita::test
