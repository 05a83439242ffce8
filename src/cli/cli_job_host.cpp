#include "cli_job_host.h"

#include <cctype>
#include <iostream>

namespace partita::cli {
namespace {

std::atomic<bool> stopRequested{false};

extern "C" void OnInterrupt(int) {
    stopRequested.store(true);
}

constexpr int kBarWidth = 30;
constexpr std::size_t kStatusWidth = 40;

}  // namespace

std::string TerminalText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

CliJobHost::CliJobHost(std::ostream& err, std::istream& in, CliHostOptions options)
    : err_(err), in_(in), options_(std::move(options)) {
    stopRequested.store(false);
    previousHandler_ = std::signal(SIGINT, OnInterrupt);
}

CliJobHost::~CliJobHost() {
    ClearBar();
    std::signal(SIGINT, previousHandler_ == SIG_ERR ? SIG_DFL : previousHandler_);
}

void CliJobHost::RequestStop() {
    stopRequested.store(true);
}

void CliJobHost::ClearBar() {
    if (!barShown_)
        return;
    err_ << "\r\033[K" << std::flush;
    barShown_ = false;
}

void CliJobHost::DrawBar() {
    if (!options_.progressBar || options_.quiet || range_ == 0)
        return;
    int filled = static_cast<int>(position_ * kBarWidth / range_);
    std::string status =
        status_.size() > kStatusWidth ? status_.substr(0, kStatusWidth - 3) + "..." : status_;
    err_ << "\r\033[K[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] " << position_
         << "/" << range_ << " " << status << std::flush;
    barShown_ = true;
}

void CliJobHost::Note(const std::string& text) {
    if (options_.quiet)
        return;
    ClearBar();
    err_ << TerminalText(text) << "\n";
    DrawBar();
}

void CliJobHost::ShowMessage(MessageKind kind, const UserMessage& message) {
    if (kind == MessageKind::Information && options_.quiet)
        return;
    ClearBar();
    const char* prefix = kind == MessageKind::Error     ? "error: "
                         : kind == MessageKind::Warning ? "warning: "
                                                        : "";
    err_ << prefix << TerminalText(message.Text()) << "\n";
    DrawBar();
}

char CliJobHost::Ask(const std::string& question) {
    ClearBar();
    err_ << TerminalText(question) << " " << std::flush;
    std::string line;
    if (!std::getline(in_, line))
        return 0;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return 0;
}

bool CliJobHost::AskYesNo(const UserMessage& question) {
    const std::string text = question.Text();
    if (!options_.interactive) {
        Note(TerminalText(text) + (options_.assumeYes ? " yes" : " no"));
        return options_.assumeYes;
    }
    return Ask(text + " [y/n]") == 'y';
}

bool CliJobHost::ShowInfoWithToggle(const UserMessage& message, const std::string&,
                                    bool withCancel) {
    const std::string text = message.Text();
    if (!options_.interactive || !withCancel) {
        Note(text);
        return true;
    }
    char answer = Ask(text + " [o]k/[c]ancel");
    return answer == 'o' || answer == 'y';
}

OverwriteReply CliJobHost::AskOverwrite(const std::string& path) {
    switch (options_.existing) {
        case CliHostOptions::Existing::Overwrite:
            return {OverwriteAnswer::Yes, {}, false};
        case CliHostOptions::Existing::Skip:
            Note(path + ": exists, kept");
            return {OverwriteAnswer::Skip, {}, false};
        case CliHostOptions::Existing::Ask:
            break;
    }
    if (!options_.interactive) {
        ++unansweredSkips_;
        ShowMessage(
            MessageKind::Warning,
            UserMessage::Plain(path + ": exists, kept (--overwrite replaces existing outputs)"));
        return {OverwriteAnswer::Skip, {}, false};
    }
    for (;;) {
        char answer =
            Ask(path + " exists. Replace it? [y]es/[a]ll of this group/[s]kip/[o]ther name");
        switch (answer) {
            case 'y':
                return {OverwriteAnswer::Yes, {}, false};
            case 'a':
                return {OverwriteAnswer::YesToAll, {}, false};
            case 0:
            case 's':
                return {OverwriteAnswer::Skip, {}, false};
            case 'o': {
                err_ << "other name: " << std::flush;
                std::string other;
                if (std::getline(in_, other) && !other.empty())
                    return {OverwriteAnswer::OtherName, other, false};
                return {OverwriteAnswer::Skip, {}, false};
            }
            default:
                break;
        }
    }
}

StopAnswer CliJobHost::AskStop(const std::string& sourceName) {
    if (!options_.interactive)
        return StopAnswer::StopAll;
    char answer = Ask("Stop splitting " + sourceName + "? [y]es, this file/[a]ll files/[c]ontinue");
    if (answer == 'c')
        return StopAnswer::Continue;
    return answer == 'y' ? StopAnswer::StopSource : StopAnswer::StopAll;
}

FailureAnswer CliJobHost::AskFailure(const UserMessage& message) {
    ShowMessage(MessageKind::Error, message);
    return FailureAnswer::Ignore;
}

std::optional<std::string> CliJobHost::ChooseFolder(Msg, const std::string& startFolder) {
    return options_.outputFolder.empty() ? startFolder : options_.outputFolder;
}

void CliJobHost::SetProgress(std::uint64_t position, std::uint64_t range) {
    position_ = position;
    range_ = range;
    if (range == 0) {
        ClearBar();
        return;
    }
    DrawBar();
}

void CliJobHost::SetStatus(const std::string& text) {
    status_ = text;
    DrawBar();
}

bool CliJobHost::TakeStopRequest() {
    return stopRequested.exchange(false);
}

CompletionReply CliJobHost::ShowCompletion(const CompletionReport& report) {
    ShowMessage(report.success ? MessageKind::Information : MessageKind::Warning, report.message);
    return {};
}

void CliJobHost::OpenFolder(const std::string&) {}

void CliJobHost::PlayFile(const std::string&) {}

}  // namespace partita::cli
