#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/result.h"
#include "audio/audio_stream.h"
#include "audio/open_error.h"

// The audio layer's entry points. Decoding is done by the audio module (FFmpeg), which is
// loaded the first time one of the functions below needs it and stays loaded until the process
// ends. Code that only cuts or joins MPEG frames, reads tags or classifies files by extension
// never loads it.
//
// Where the module is looked for, first match wins:
//   1. the file named by the environment variable PARTITA_AUDIO_MODULE (only that file);
//   2. the folder of the running program;
//   3. the installed library folder relative to the program (bin/../lib/partita);
//   4. the build tree's output folder of the module;
//   5. the installed library folder given at build time.

namespace partita::audio {

inline constexpr const char* kAudioModuleFileName = "partita_audio_ffmpeg.so";
inline constexpr const char* kAudioModuleEnvironment = "PARTITA_AUDIO_MODULE";

// The start-up check of the desktop program and of commands that decode: loads the module and
// checks that FFmpeg starts. Failure: ErrorCode::Internal with AudioModuleFailed.
Status CheckAudioEngine();

// Whether this process has loaded the audio module (for checks that a road never needs it).
bool AudioEngineLoaded();

// A stream, or why there is none.
struct OpenResult {
    std::unique_ptr<AudioStream> stream;
    OpenError error = OpenError::None;

    explicit operator bool() const { return stream != nullptr; }
};

// Opens a decoding stream on a file. A missing or unreadable file is reported without loading
// the module; a failure to load the module gives OpenError::ModuleUnavailable.
OpenResult OpenAudioStream(const std::filesystem::path& path, const OpenOptions& options = {});

}  // namespace partita::audio
