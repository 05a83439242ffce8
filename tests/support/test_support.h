#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace partita::test {

namespace fs = std::filesystem;

// A fresh folder per test, removed afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& Path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

  private:
    fs::path path_;
};

// Base fixture that gives each test its own temporary folder.
class TempDirTest : public ::testing::Test {
  protected:
    TempDir dir;
};

// A file of the corpus of real audio files kept with the tests (read-only; copy before
// writing).
fs::path CorpusFile(const std::string& name);
// Copies a corpus file into `folder` and returns the copy.
fs::path CopyCorpusFile(const std::string& name, const fs::path& folder);

std::vector<std::uint8_t> ReadFileBytes(const fs::path& path);
void WriteFileBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes);
void WriteFileText(const fs::path& path, const std::string& text);

// One tone of a generated signal: a frequency in Hz (0 = silence) for a number of ms.
struct ToneSegment {
    double frequency;
    std::uint32_t ms;
    double level = 0.5;  // peak, full scale = 1
};

// Interleaved signed 16-bit PCM of the segments, in every channel alike.
std::vector<std::int16_t> SynthesizePcm(const std::vector<ToneSegment>& segments,
                                        std::uint32_t sampleRate, std::uint16_t channels);

// Writes a canonical PCM WAV file (RIFF, fmt, data) of 16-bit samples.
void WriteWav(const fs::path& path, const std::vector<std::int16_t>& samples,
              std::uint32_t sampleRate, std::uint16_t channels);

// Runs a program without a shell; returns its exit code and puts what it printed in `output`
// (standard output and error together) when given.
int RunProgram(const std::vector<std::string>& argv, std::string* output = nullptr);
// Waits up to `seconds` for child `pid` to end and returns its wait status; a child still running
// then is killed, so that a hang fails its test instead of stopping the whole run.
int WaitOrKill(int pid, double seconds);

// Encodes a WAV file with the lame program and the given extra options (such as {"-b", "128"}
// or {"-V", "4"}); fails the test when lame fails.
void EncodeWithLame(const fs::path& wav, const fs::path& mp3,
                    const std::vector<std::string>& options);

// Makes an MP3 of `segments` through lame: a convenience for tests that need a real file.
fs::path MakeMp3(const fs::path& folder, const std::string& name,
                 const std::vector<ToneSegment>& segments, const std::vector<std::string>& options,
                 std::uint32_t sampleRate = 44100, std::uint16_t channels = 2);

// Duration in ms of a file as ffprobe sees it (an independent decoder); -1 when it fails.
double ProbeDurationMs(const fs::path& file);

// Interleaved 16-bit PCM of a file as an independent decoder ("ffmpeg" or "mpg123") plays it:
// with a LAME tag, its delay and padding left out. Empty when the decoder fails.
std::vector<std::int16_t> DecodePcm(const fs::path& file, const std::string& decoder);

// Whether ffmpeg decodes the file without printing an error.
bool DecodesCleanly(const fs::path& file, std::string* errors = nullptr);

}  // namespace partita::test
