#include "audio/open_error.h"

#include "app/message_format.h"

namespace partita::audio {

std::string OpenErrorMessage(const std::string& path, OpenError error) {
    switch (error) {
        case OpenError::None:
            return Message(125, path);
        case OpenError::Protected:
            return Message(312, path);
        case OpenError::WmaCodecMissing:
            return Message(313);
        case OpenError::ModuleUnavailable:
            return Message(263);
        default:
            return Message(311, path, ToInt(error));
    }
}

int OpenErrorStringId(OpenError error) {
    switch (error) {
        case OpenError::None:
            return 125;
        case OpenError::Protected:
            return 312;
        case OpenError::WmaCodecMissing:
            return 313;
        case OpenError::ModuleUnavailable:
            return 263;
        default:
            return 311;
    }
}

ErrorCode OpenErrorKind(OpenError error) {
    switch (error) {
        case OpenError::FileNotFound:
            return ErrorCode::NotFound;
        case OpenError::FileUnreadable:
            return ErrorCode::Unreadable;
        case OpenError::Damaged:
            return ErrorCode::Damaged;
        case OpenError::OutOfMemory:
        case OpenError::ModuleUnavailable:
            return ErrorCode::Internal;
        case OpenError::None:
        case OpenError::UnknownFormat:
        case OpenError::NoAudio:
        case OpenError::UnsupportedCodec:
        case OpenError::Protected:
        case OpenError::WmaCodecMissing:
            break;
    }
    return ErrorCode::Unsupported;
}

Status OpenErrorStatus(const std::string& path, OpenError error) {
    return Status::Error(OpenErrorKind(error), OpenErrorMessage(path, error));
}

}  // namespace partita::audio
