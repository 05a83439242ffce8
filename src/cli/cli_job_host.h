#pragma once

#include <atomic>
#include <csignal>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/job_host.h"

namespace partita::cli {

// How the command line answers a job's questions.
struct CliHostOptions {
    // What to do with an output that exists already.
    enum class Existing { Ask, Overwrite, Skip };
    Existing existing = Existing::Ask;
    // Questions may be asked: standard input and standard error are terminals. Otherwise every
    // question is answered from the options at once.
    bool interactive = false;
    // A progress bar on standard error (a terminal).
    bool progressBar = false;
    // Only errors and warnings are printed.
    bool quiet = false;
    // The answer to a yes/no question when none can be asked.
    bool assumeYes = false;
    // The answer to the folder question; empty: the folder it starts in.
    std::string outputFolder;
};

// The job host of the command line: messages and the progress bar go to standard error,
// questions are answered from the options (or, on a terminal, asked there), and an interrupt
// (Ctrl+C), a termination (kill, a service manager's stop) or a hangup (the terminal closed)
// becomes the job's stop request, so the job stops where it can and removes what it had
// begun. Only an interrupt typed at a terminal is asked about; a second interrupt while a
// question waits, a termination or a hangup confirms the stop at once.
class CliJobHost : public JobHost {
  public:
    CliJobHost(std::ostream& err, std::istream& in, CliHostOptions options);
    ~CliJobHost() override;
    CliJobHost(const CliJobHost&) = delete;
    CliJobHost& operator=(const CliJobHost&) = delete;

    void ShowMessage(MessageKind kind, const UserMessage& message) override;
    bool AskYesNo(const UserMessage& question) override;
    bool ShowInfoWithToggle(const UserMessage& message, const std::string& toggleName,
                            bool withCancel) override;
    OverwriteReply AskOverwrite(const std::string& path) override;
    StopAnswer AskStop(const std::string& sourceName) override;
    FailureAnswer AskFailure(const UserMessage& message) override;
    std::optional<std::string> ChooseFolder(Msg prompt, const std::string& startFolder) override;
    void SetProgress(std::uint64_t position, std::uint64_t range) override;
    void SetFileProgress(std::uint64_t done, std::uint64_t total) override;
    void SetStatus(const std::string& text) override;
    bool TakeStopRequest() override;
    CompletionReply ShowCompletion(const CompletionReport& report) override;
    void OpenFolder(const std::string& folder) override;
    void PlayFile(const std::string& path) override;

    // Prints a line of the program's own (not in the string table) to standard error, unless
    // quiet.
    void Note(const std::string& text);
    // Writes a line of the report to `out` (standard output) with the progress bar cleared
    // first, so the line never lands on the bar; the bar is drawn again below it.
    void PrintLine(std::ostream& out, const std::string& line);
    // Raises the stop request, as an interrupt does.
    static void RequestStop();
    // Outputs kept because they existed and no one could be asked.
    int UnansweredSkips() const { return unansweredSkips_; }

    // The width the bar's line may take on a terminal `columns` wide, and the status text cut
    // to `width` terminal columns (wide characters take two) with "..." where it was cut.
    static std::string FitToColumns(const std::string& text, std::size_t width);

  private:
    void ClearBar();
    void DrawBar();
    // Asks on the terminal; returns the first character answered (lower case), 0 at the end,
    // kInterrupted when an interrupt came while it waited.
    char Ask(const std::string& question);
    // Whether a stop is to be taken without asking: nobody can answer, or the user already
    // confirmed it (a second interrupt) or the program was told to end.
    bool StopWithoutAsking() const;

    static constexpr char kInterrupted = '\x03';

    std::ostream& err_;
    std::istream& in_;
    CliHostOptions options_;
    std::uint64_t position_ = 0, range_ = 0;
    std::uint64_t fileDone_ = 0, fileTotal_ = 0;
    std::string status_;
    bool barShown_ = false;
    bool stopConfirmed_ = false;
    int unansweredSkips_ = 0;
    struct PreviousHandlers;
    std::unique_ptr<PreviousHandlers> previous_;
};

// Text of a message as a terminal shows it: "\r\n" becomes a line break.
std::string TerminalText(const std::string& text);

}  // namespace partita::cli
