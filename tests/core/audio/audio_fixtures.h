#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

// Files and independent measurements for the audio layer's tests.

namespace partita::test {

// Converts a file with the ffmpeg program (e.g. {"-c:a", "libvorbis"}); fails the test when it
// fails.
void ConvertWithFfmpeg(const fs::path& from, const fs::path& to,
                       const std::vector<std::string>& options);

// A WAV file of the segments at 44.1 kHz stereo unless told otherwise.
fs::path MakeWavFile(const fs::path& folder, const std::string& name,
                     const std::vector<ToneSegment>& segments, std::uint32_t sampleRate = 44100,
                     std::uint16_t channels = 2);

// A file of another format made from a WAV of the segments by ffmpeg.
fs::path MakeEncodedFile(const fs::path& folder, const std::string& name,
                         const std::vector<ToneSegment>& segments,
                         const std::vector<std::string>& options);

// Sample frames mpg123 decodes from an MP3 (an independent decoder); -1 when it fails.
std::int64_t Mpg123Frames(const fs::path& mp3);

// The stream's start time in seconds as ffprobe reports it (an MP3's encoder delay).
double ProbeStartSeconds(const fs::path& file);

// File offsets of the MPEG audio frames of a file, walked header by header from the first
// frame (after an ID3v2 tag); the first entry is the first frame, which for LAME files is the
// Info/Xing frame.
std::vector<std::uint64_t> MpegFrameStarts(const fs::path& file);

// Reads a stream to its end and returns its samples.
struct DecodedPcm {
    std::vector<std::int16_t> samples;
    int channels = 0;
    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
};

}  // namespace partita::test
