#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/file_error.h"
#include "app/message_format.h"
#include "app/messages.h"

namespace partita {

// A message for the user: a text of the string table with its arguments, formatted only when
// it is shown, in the language of that moment. The program's own texts that the table does not
// hold (notes of the command line) are plain messages, without a number.
class UserMessage {
  public:
    // An empty plain message.
    UserMessage() = default;
    // A text of the table; also taken where a message is expected (`host.AskYesNo(Msg::X)`).
    template <typename... Args>
    UserMessage(Msg id, const Args&... args)  // NOLINT: implicit by design
        : id_(id), args_{MessageArg(args)...} {}

    static UserMessage Plain(std::string text);

    std::optional<Msg> Id() const { return id_; }
    bool Is(Msg id) const { return id_ == id; }
    const std::vector<MessageArg>& Args() const { return args_; }

    // Adds a line of the program's own below the text (what a failing program said).
    UserMessage& WithDetail(std::string detail);
    // Adds why a file operation failed: an errno value (0 adds nothing) and, when it concerned
    // another file than the one the message names, that file's path.
    UserMessage& WithReason(int code, std::string path = {});
    UserMessage& WithReason(const FileError& error) { return WithReason(error.code, error.path); }
    // Adds a reason of the program's own, from the table.
    UserMessage& WithReason(Msg reason);
    // The reason in the current language; empty when none was added.
    std::string ReasonText() const;

    // The text in the current language; a plain message as it was given.
    std::string Text() const;

  private:
    std::optional<Msg> id_;
    std::vector<MessageArg> args_;
    std::string plain_;
    std::string detail_;
    int reasonCode_ = 0;
    std::string reasonPath_;
    std::optional<Msg> reasonId_;
};

// A text of the table in the current language with its arguments.
std::string Message(Msg id, std::span<const MessageArg> args);

template <typename... Args>
std::string Message(Msg id, const Args&... args) {
    const MessageArg list[] = {MessageArg(args)..., MessageArg(0)};
    return Message(id, std::span<const MessageArg>(list, sizeof...(Args)));
}

}  // namespace partita
