#pragma once

#include <cstdint>
#include <filesystem>

#include "audio/audio_type.h"
#include "audio/open_error.h"

namespace partita::audio {

// What the lists show of an audio file that is opened through the audio module (MPEG files
// are analysed by mpeg/ instead).
struct AudioFileInfo {
    AudioType type = AudioType::Unknown;
    std::uint64_t durationMs = 0;
    int sampleRate = 0;
    int channels = 0;
    std::uint64_t fileSize = 0;
    // The average bitrate of the lists (see AverageBitrateKbps).
    double averageBitrateKbps = 0;
    // Windows Media files only: the bitrate in kbit/s and the VBR flag of the file's WMA tags.
    bool hasWmaTags = false;
    int wmaBitrateKbps = 0;
    bool wmaVbr = false;
};

// The lists' average bitrate: file size in bytes / (duration in ms / 1000 × 125) + 0.5;
// 0 for a duration of 0.
double AverageBitrateKbps(std::uint64_t fileSize, std::uint64_t durationMs);

// Opens the file with the audio module (loading it if needed) and fills `info`. Returns None
// on success, else why the file could not be opened. A file whose length is 0 counts as damaged.
OpenError ReadAudioFileInfo(const std::filesystem::path& path, AudioFileInfo& info);

}  // namespace partita::audio
