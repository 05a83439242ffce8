#include "audio/open_error.h"

#include <cerrno>
#include <optional>

#include "app/user_message.h"

namespace partita::audio {

namespace {

// The audio layer's reasons in words, where the code alone says nothing to a user.
std::optional<Msg> ReasonOf(OpenError error) {
    switch (error) {
        case OpenError::UnknownFormat:
            return Msg::ReasonUnknownFormat;
        case OpenError::NoAudio:
            return Msg::ReasonNoAudio;
        case OpenError::UnsupportedCodec:
            return Msg::ReasonNoDecoder;
        case OpenError::Damaged:
            return Msg::ReasonDamaged;
        default:
            return std::nullopt;
    }
}

}  // namespace

UserMessage OpenErrorMessage(const std::string& path, OpenError error) {
    switch (error) {
        case OpenError::None:
            return {Msg::CannotLoadFile, path};
        case OpenError::Protected:
            return {Msg::FileCopyProtected, path};
        case OpenError::WmaCodecMissing:
            return Msg::WmaSupportMissing;
        case OpenError::ModuleUnavailable:
            return Msg::AudioModuleFailed;
        case OpenError::FileNotFound:
        case OpenError::FileUnreadable: {
            // The code alone does not say why: the system's reason goes with it.
            int reason = ReadErrorOf(path);
            return UserMessage(Msg::CannotLoadFileWithCode, path, ToInt(error))
                .WithReason(reason != 0                        ? reason
                            : error == OpenError::FileNotFound ? ENOENT
                                                               : 0);
        }
        default: {
            UserMessage message(Msg::CannotLoadFileWithCode, path, ToInt(error));
            if (std::optional<Msg> reason = ReasonOf(error))
                message.WithReason(*reason);
            return message;
        }
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
