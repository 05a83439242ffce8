#include "merge_cli_host.h"

#include <atomic>
#include <csignal>
#include <ostream>

namespace partita::cli {
namespace {

std::atomic<bool> stopRequested{false};

extern "C" void OnMergeInterrupt(int) {
    stopRequested.store(true);
}

constexpr std::uint64_t kBarWidth = 30;
constexpr std::size_t kStatusWidth = 48;

}  // namespace

std::string MergeTerminalText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

MergeCliHost::MergeCliHost(std::ostream& err, Options options) : err_(err), options_(options) {
    stopRequested.store(false);
    previousHandler_ = std::signal(SIGINT, OnMergeInterrupt);
}

MergeCliHost::~MergeCliHost() {
    ClearBar();
    std::signal(SIGINT, previousHandler_ == SIG_ERR ? SIG_DFL : previousHandler_);
}

void MergeCliHost::RequestStop() {
    stopRequested.store(true);
}

void MergeCliHost::ClearBar() {
    if (!barShown_)
        return;
    err_ << "\r\033[K" << std::flush;
    barShown_ = false;
}

void MergeCliHost::DrawBar() {
    if (!options_.progressBar || options_.quiet || range_ == 0)
        return;
    std::uint64_t filled = std::min(position_, range_) * kBarWidth / range_;
    std::string status = status_.size() > kStatusWidth ? status_.substr(0, kStatusWidth) : status_;
    err_ << "\r\033[K[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] "
         << position_ << "/" << range_ << " " << status << std::flush;
    barShown_ = true;
}

void MergeCliHost::ShowMessage(int, const std::string& text, MessageKind kind) {
    if (kind == MessageKind::Information && options_.quiet)
        return;
    ClearBar();
    const char* prefix = kind == MessageKind::Error     ? "error: "
                         : kind == MessageKind::Warning ? "warning: "
                                                        : "";
    err_ << prefix << MergeTerminalText(text) << "\n";
    DrawBar();
}

bool MergeCliHost::AskYesNo(int, const std::string&) {
    // The one question of a running merge confirms a stop; the interrupt was the answer.
    return true;
}

bool MergeCliHost::ShowInfoWithToggle(int stringId, const std::string& text, const std::string&,
                                      bool) {
    // A warning before a merge the command line asked for in so many words: it goes ahead.
    ShowMessage(stringId, text, MessageKind::Warning);
    return true;
}

OverwriteReply MergeCliHost::AskOverwrite(const std::string& path) {
    if (options_.overwrite)
        return {OverwriteAnswer::Yes, {}, false};
    outputKept_ = true;
    ShowMessage(0, path + ": exists, kept (--overwrite replaces it)", MessageKind::Error);
    return {OverwriteAnswer::Skip, {}, false};
}

StopAnswer MergeCliHost::AskStop(const std::string&) {
    return StopAnswer::StopAll;
}

FailureAnswer MergeCliHost::AskFailure(int stringId, const std::string& text) {
    ShowMessage(stringId, text, MessageKind::Error);
    sourceFailed_ = true;
    return FailureAnswer::Abort;
}

std::optional<std::string> MergeCliHost::ChooseFolder(int, const std::string&) {
    return std::nullopt;
}

void MergeCliHost::SetProgress(std::uint64_t position, std::uint64_t range) {
    position_ = position;
    range_ = range;
    if (range == 0)
        ClearBar();
    else
        DrawBar();
}

void MergeCliHost::SetStatus(const std::string& text) {
    status_ = text;
    DrawBar();
}

bool MergeCliHost::TakeStopRequest() {
    return stopRequested.exchange(false);
}

CompletionReply MergeCliHost::ShowCompletion(const CompletionReport& report) {
    ShowMessage(report.stringId, report.text, MessageKind::Information);
    return {};
}

void MergeCliHost::OpenFolder(const std::string&) {}

void MergeCliHost::PlayFile(const std::string&) {}

}  // namespace partita::cli
