#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "app/job_host.h"

namespace partita::cli {

// The job host of `partita merge`. Nobody answers questions on a command line: the options do.
// Messages and the progress bar go to standard error; an interrupt (Ctrl+C) is the stop
// request, and confirming it needs no one. A source that cannot be read ends the merge (there
// is no one to answer retry or ignore).
class MergeCliHost : public JobHost {
  public:
    struct Options {
        bool overwrite = false;    // replace an existing output
        bool progressBar = false;  // standard error is a terminal
        bool quiet = false;        // only warnings and errors
    };

    MergeCliHost(std::ostream& err, Options options);
    ~MergeCliHost() override;
    MergeCliHost(const MergeCliHost&) = delete;
    MergeCliHost& operator=(const MergeCliHost&) = delete;

    void ShowMessage(int stringId, const std::string& text, MessageKind kind) override;
    bool AskYesNo(int stringId, const std::string& text) override;
    bool ShowInfoWithToggle(int stringId, const std::string& text, const std::string& toggleName,
                            bool withCancel) override;
    OverwriteReply AskOverwrite(const std::string& path) override;
    StopAnswer AskStop(const std::string& sourceName) override;
    FailureAnswer AskFailure(int stringId, const std::string& text) override;
    std::optional<std::string> ChooseFolder(int promptStringId,
                                            const std::string& startFolder) override;
    void SetProgress(std::uint64_t position, std::uint64_t range) override;
    void SetStatus(const std::string& text) override;
    bool TakeStopRequest() override;
    CompletionReply ShowCompletion(const CompletionReport& report) override;
    void OpenFolder(const std::string& folder) override;
    void PlayFile(const std::string& path) override;

    // Whether a source could not be read (the merge then ends as aborted, which the command
    // reports as a failure).
    bool SourceFailed() const { return sourceFailed_; }
    // Whether an existing output was kept for want of --overwrite.
    bool OutputKept() const { return outputKept_; }
    // Raises the stop request as an interrupt does.
    static void RequestStop();

  private:
    void ClearBar();
    void DrawBar();

    std::ostream& err_;
    Options options_;
    std::uint64_t position_ = 0;
    std::uint64_t range_ = 0;
    std::string status_;
    bool barShown_ = false;
    bool sourceFailed_ = false;
    bool outputKept_ = false;
    void (*previousHandler_)(int) = nullptr;
};

// A message as a terminal shows it: "\r\n" becomes a plain line break.
std::string MergeTerminalText(const std::string& text);

}  // namespace partita::cli
