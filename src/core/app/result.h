#pragma once

#include <utility>

#include "app/user_message.h"

namespace partita {

// What went wrong, in kinds the command line maps to exit codes and the desktop program to
// message boxes, with the system's own message.
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
    UserMessage message;

    bool ok() const { return code == ErrorCode::Ok; }
    static Status Ok() { return {}; }
    static Status Error(ErrorCode code, UserMessage message) { return {code, std::move(message)}; }
};

}  // namespace partita
