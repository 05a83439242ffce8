#include "app/user_message.h"

#include "app/string_table.h"

namespace partita {

UserMessage UserMessage::Plain(std::string text) {
    UserMessage message;
    message.plain_ = std::move(text);
    return message;
}

UserMessage& UserMessage::WithDetail(std::string detail) {
    detail_ = std::move(detail);
    return *this;
}

UserMessage& UserMessage::WithReason(int code, std::string path) {
    reasonCode_ = code;
    reasonPath_ = std::move(path);
    return *this;
}

UserMessage& UserMessage::WithReason(Msg reason) {
    reasonId_ = reason;
    return *this;
}

std::string UserMessage::ReasonText() const {
    if (reasonId_)
        return Message(*reasonId_);
    if (reasonCode_ == 0)
        return {};
    std::string reason = FileErrorText(reasonCode_);
    return reasonPath_.empty() ? reason : reasonPath_ + ": " + reason;
}

std::string UserMessage::Text() const {
    std::string text = id_ ? Message(*id_, std::span<const MessageArg>(args_)) : plain_;
    if (reasonCode_ != 0 || reasonId_)
        text += " " + Message(Msg::FileErrorReason, ReasonText());
    if (!detail_.empty())
        text += "\n" + detail_;
    return text;
}

std::string Message(Msg id, std::span<const MessageArg> args) {
    return FormatMessageText(CurrentStrings().Get(id), args);
}

}  // namespace partita
