#pragma once

#include <string>
#include <utility>

namespace partita {

// What went wrong, in kinds the command line maps to exit codes and the desktop program to
// message boxes. The text is the system's own message, ready to show.
enum class ErrorCode {
    Ok = 0,
    NotFound,      // the file or folder does not exist
    Unreadable,    // exists but cannot be opened or read
    Unsupported,   // not a format the program handles
    Damaged,       // the format is known but the data is broken
    WriteFailed,   // an output could not be written
    Stopped,       // the user stopped the work
    InvalidInput,  // a value given by the user is not usable
    Internal,      // a component failed to load or start
};

struct Status {
    ErrorCode code = ErrorCode::Ok;
    std::string message;

    bool ok() const { return code == ErrorCode::Ok; }
    static Status Ok() { return {}; }
    static Status Error(ErrorCode code, std::string message) { return {code, std::move(message)}; }
};

}  // namespace partita
