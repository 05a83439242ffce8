#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace partita {

// How a message presents itself: the icon of its box in the desktop program, the stream and
// prefix on the command line.
enum class MessageKind { Information, Warning, Error };

// The overwrite question: replace, replace this and every later one of the group, keep the
// existing file, or write under another name.
enum class OverwriteAnswer { Yes, YesToAll, Skip, OtherName };
struct OverwriteReply {
    OverwriteAnswer answer = OverwriteAnswer::Skip;
    std::string otherPath;      // with OtherName: the path to write instead
    bool dontAskAgain = false;  // the box's "don't ask me again" tick
};

// The stop question of a running split: stop this source, stop the whole job, or go on.
enum class StopAnswer { StopSource, StopAll, Continue };

// After a failed cut or a source that cannot be read.
enum class FailureAnswer { Abort, Retry, Ignore };

// The finished-job box: its text, and what the user chose in it.
struct CompletionReport {
    int stringId = 0;
    std::string text;
    std::string outputPath;         // the folder (split) or file (merge) written
    bool openFolderPreset = false;  // the open-folder choice as the settings preset it
    bool startNewPreset = false;    // the start-new tick as the settings preset it
};
struct CompletionReply {
    bool startNew = false;  // "new split" / "start new merge"
    bool openFolder = false;
    bool playResult = false;  // merge only
    bool dontShowAgain = false;
};

// Everything a job needs from its user. Jobs live in the core and reach the user only through
// this: the desktop program shows boxes (and may run the job on a worker thread, answering
// these calls from its window thread), the command line prints and answers from its options,
// tests script the answers. A job calls it from one thread at a time.
class JobHost {
  public:
    virtual ~JobHost() = default;

    // A numbered message, already formatted in the current language.
    virtual void ShowMessage(int stringId, const std::string& text, MessageKind kind) = 0;
    // A yes/no (or OK/Cancel) question; true for yes.
    virtual bool AskYesNo(int stringId, const std::string& text) = 0;
    // An information box with a "don't show again" tick kept in setting
    // "LodeDialogToggle"/`toggleName`; the host reads and writes the toggle. True for OK.
    virtual bool ShowInfoWithToggle(int stringId, const std::string& text,
                                    const std::string& toggleName, bool withCancel) = 0;
    virtual OverwriteReply AskOverwrite(const std::string& path) = 0;
    virtual StopAnswer AskStop(const std::string& sourceName) = 0;
    virtual FailureAnswer AskFailure(int stringId, const std::string& text) = 0;
    // A folder picker with a numbered prompt; nullopt when cancelled.
    virtual std::optional<std::string> ChooseFolder(int promptStringId,
                                                    const std::string& startFolder) = 0;
    // A save-file dialog with a numbered title, for an MP3 output: it opens in `startFolder`
    // proposing `proposedName`; nullopt when cancelled. A host that cannot ask (the command
    // line names its output) keeps this default.
    virtual std::optional<std::string> ChooseSaveFile(int titleStringId,
                                                      const std::string& startFolder,
                                                      const std::string& proposedName) {
        (void)titleStringId;
        (void)startFolder;
        (void)proposedName;
        return std::nullopt;
    }

    virtual void SetProgress(std::uint64_t position, std::uint64_t range) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // Whether the user asked to stop since the last call; reading clears the request.
    virtual bool TakeStopRequest() = 0;

    virtual CompletionReply ShowCompletion(const CompletionReport& report) = 0;
    virtual void OpenFolder(const std::string& folder) = 0;
    virtual void PlayFile(const std::string& path) = 0;
};

}  // namespace partita
