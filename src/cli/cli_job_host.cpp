#include "cli_job_host.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <iterator>

namespace partita::cli {
namespace {

std::atomic<bool> stopRequested{false};
// Signals received since the host began: every one counts, so that a second interrupt while a
// question waits is seen.
std::atomic<int> signalCount{0};
// A termination or hangup came: nobody is there to answer a stop question.
std::atomic<bool> endRequested{false};

extern "C" void OnStopSignal(int signal) {
    if (signal != SIGINT)
        endRequested.store(true);
    signalCount.fetch_add(1);
    stopRequested.store(true);
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kNarrowBarWidth = 10;
constexpr std::size_t kDefaultColumns = 80;

std::size_t TerminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return kDefaultColumns;
}

// Columns a character starting with byte `lead` of `length` bytes takes: East Asian scripts
// (U+1100 and up, three and four byte forms) take two.
std::size_t ColumnsOf(unsigned char lead, std::size_t length) {
    return length >= 3 && lead >= 0xE1 ? 2 : 1;
}

std::size_t SequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

}  // namespace

struct CliJobHost::PreviousHandlers {
    struct sigaction actions[std::size(kStopSignals)];
};

std::string TerminalText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

std::string CliJobHost::FitToColumns(const std::string& text, std::size_t width) {
    std::size_t used = 0;
    std::size_t cut = 0;  // the end of the text that fits with "..." after it
    for (std::size_t i = 0; i < text.size();) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = std::min(SequenceLength(lead), text.size() - i);
        std::size_t columns = ColumnsOf(lead, length);
        if (used + columns + 3 <= width)
            cut = i + length;
        used += columns;
        if (used > width)
            return text.substr(0, cut) + (width >= 3 ? "..." : "");
        i += length;
    }
    return text;
}

CliJobHost::CliJobHost(std::ostream& err, std::istream& in, CliHostOptions options)
    : err_(err),
      in_(in),
      options_(std::move(options)),
      previous_(std::make_unique<PreviousHandlers>()) {
    stopRequested.store(false);
    endRequested.store(false);
    // No SA_RESTART: a signal ends the wait for an answer to a question.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        ::sigaction(kStopSignals[i], &action, &previous_->actions[i]);
}

CliJobHost::~CliJobHost() {
    ClearBar();
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        ::sigaction(kStopSignals[i], &previous_->actions[i], nullptr);
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
    const std::size_t columns = TerminalColumns();
    const std::size_t barWidth = columns >= 60 ? kBarWidth : kNarrowBarWidth;
    // Within a unit that reports its own progress the bar moves with it.
    double done = static_cast<double>(position_);
    std::string count = std::to_string(position_) + "/" + std::to_string(range_);
    if (fileTotal_ > 0 && position_ < range_) {
        done += static_cast<double>(fileDone_) / static_cast<double>(fileTotal_);
        count += " " + std::to_string(fileDone_ * 100 / fileTotal_) + "%";
    }
    auto filled = static_cast<std::size_t>(done * static_cast<double>(barWidth) /
                                           static_cast<double>(range_));
    filled = std::min(filled, barWidth);
    std::string line =
        "[" + std::string(filled, '#') + std::string(barWidth - filled, '.') + "] " + count + " ";
    // The last column stays free: a line that fills it makes some terminals wrap.
    std::size_t room = columns > line.size() + 1 ? columns - line.size() - 1 : 0;
    err_ << "\r\033[K" << line << FitToColumns(status_, room) << std::flush;
    barShown_ = true;
}

void CliJobHost::PrintLine(std::ostream& out, const std::string& line) {
    ClearBar();
    out << line;
    if (!line.empty() && line.back() != '\n')
        out << '\n';
    out.flush();
    DrawBar();
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

namespace {

// Waits until standard input has something to read (true) or a signal has come since `before`
// (false). A signal that lands between the question and the read would not interrupt a read
// that has not begun yet, so the wait looks at the count between short polls.
bool InputArrivedBeforeSignal(int before) {
    constexpr int kPollMs = 100;
    while (signalCount.load() == before) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        int ready = ::poll(&input, 1, kPollMs);
        if (ready > 0 || (ready < 0 && errno != EINTR))
            return true;
    }
    return false;
}

}  // namespace

char CliJobHost::Ask(const std::string& question) {
    // Counted before the question shows: an interrupt typed as soon as it appears still counts.
    const int before = signalCount.load();
    ClearBar();
    err_ << TerminalText(question) << " " << std::flush;
    std::string line;
    bool answered = false;
    if (&in_ != &std::cin || InputArrivedBeforeSignal(before))
        answered = static_cast<bool>(std::getline(in_, line));
    if (signalCount.load() != before) {
        // The interrupt ended the wait; the input is usable again for the next question.
        in_.clear();
        std::clearerr(stdin);
        err_ << "\n";
        stopConfirmed_ = true;
        return kInterrupted;
    }
    if (!answered)
        return 0;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return 0;
}

bool CliJobHost::StopWithoutAsking() const {
    return !options_.interactive || stopConfirmed_ || endRequested.load();
}

bool CliJobHost::AskYesNo(const UserMessage& question) {
    const std::string text = question.Text();
    // The stop questions of a running job: yes stops it.
    if (question.Is(Msg::ConfirmStopMerge) || question.Is(Msg::ConfirmStopSilenceDetection)) {
        if (StopWithoutAsking())
            return true;
        char answer = Ask(text + " [y/n]");
        return answer == 'y' || answer == kInterrupted;
    }
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
            case kInterrupted:
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
    if (StopWithoutAsking())
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
    fileDone_ = fileTotal_ = 0;
    if (range == 0) {
        ClearBar();
        return;
    }
    DrawBar();
}

void CliJobHost::SetFileProgress(std::uint64_t done, std::uint64_t total) {
    // Drawn again only when the shown percentage changes: a copy reports every chunk.
    bool changed =
        total == 0 || fileTotal_ == 0 || done * 100 / total != fileDone_ * 100 / fileTotal_;
    fileDone_ = done;
    fileTotal_ = total;
    if (changed)
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
