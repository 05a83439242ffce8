#pragma once

#include <string>

#include "app/result.h"

namespace partita::audio {

// Why a file could not be opened for decoding. The numbers are the codes shown to the user in
// Msg::CannotLoadFileWithCode ("... (error code: %d)"); keep them stable.
enum class OpenError : int {
    None = 0,                // no reason known
    OutOfMemory = 1,         // the decoder could not get memory
    FileNotFound = 2,        // the file does not exist
    FileUnreadable = 3,      // it exists but cannot be opened or read
    ModuleUnavailable = 8,   // the audio module could not be loaded or did not start
    UnknownFormat = 41,      // no reader recognises the file
    NoAudio = 43,            // the file holds no audio stream
    UnsupportedCodec = 44,   // an audio stream that no decoder handles
    Damaged = 45,            // a known format whose data is broken
    Protected = 1000,        // a copy-protected (DRM) Windows Media file
    WmaCodecMissing = 1001,  // a Windows Media file whose codec cannot be decoded
};

inline constexpr int ToInt(OpenError error) {
    return static_cast<int>(error);
}

// The user's message for a file that could not be opened: FileCopyProtected for Protected,
// WmaSupportMissing (shown under the caption string 314) for WmaCodecMissing,
// AudioModuleFailed for ModuleUnavailable, CannotLoadFile when no reason is known and
// CannotLoadFileWithCode with the code for every other reason.
UserMessage OpenErrorMessage(const std::string& path, OpenError error);

// The kind of failure for the command line's exit codes and typed results.
ErrorCode OpenErrorKind(OpenError error);

// Both together, as a Status (Ok for None is never given: None is a failure without reason).
Status OpenErrorStatus(const std::string& path, OpenError error);

}  // namespace partita::audio
