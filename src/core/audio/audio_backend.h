#pragma once

#include <memory>
#include <string>

#include "audio/audio_stream.h"
#include "audio/open_error.h"

// The contract between the core and the audio module (a shared library over FFmpeg that the
// core loads at run time). The module exports one C function, kAudioBackendEntryPoint, that
// returns its AudioBackend when asked for the interface version it was built with. Callers of
// the audio layer do not use this header: they use audio/audio_engine.h.

namespace partita::audio {

inline constexpr int kAudioBackendVersion = 2;
inline constexpr const char* kAudioBackendEntryPoint = "partita_audio_backend";

class AudioBackend {
  public:
    virtual ~AudioBackend() = default;

    // Checks that the decoding libraries start and hold the readers and decoders the program
    // needs; an empty text when they do, else what is missing.
    virtual std::string SelfCheck() = 0;
    // The versions of the libraries, for reports.
    virtual std::string Versions() = 0;

    // Opens a decoding stream; on failure returns null and sets `error`.
    virtual std::unique_ptr<AudioStream> Open(const std::string& path, const OpenOptions& options,
                                              OpenError& error) = 0;
};

// The module's entry point: the backend (owned by the module, alive while it is loaded), or
// null when the module was built for another interface version.
using AudioBackendEntry = AudioBackend* (*)(int interfaceVersion);

}  // namespace partita::audio
