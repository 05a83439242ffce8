#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/user_message.h"

namespace partita {

// How a message presents itself: the icon of its box in the desktop program, the stream and
// prefix on the command line.
enum class MessageKind { Information, Warning, Error };

// The overwrite question: replace, replace this and every later one of the group, keep the
// existing file, or write under another name. The host that shows the box stores its "don't ask
// me again" tick; the job stops asking for the rest of its run.
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

// The finished-job box: its message, and what the user chose in it. The host that shows the box
// stores its "don't show again" tick.
struct CompletionReport {
    UserMessage message;
    std::string outputPath;         // the folder (split) or file (merge) written
    bool openFolderPreset = false;  // the open-folder choice as the settings preset it
    bool startNewPreset = false;    // the start-new tick as the settings preset it
    // False when the job did not do all it was to do: the message says what happened, the box
    // offers no new start and no "don't show again" (a split shows it whatever the settings).
    bool success = true;
    // A split's tracks: written, failed, existing outputs kept, left undone when it stopped; and
    // the sources that could not be read.
    int written = 0, failed = 0, skipped = 0, notDone = 0;
    std::vector<std::string> unreadableSources{};  // "{}": reports may be brace-built in part
};
struct CompletionReply {
    bool startNew = false;  // "new split" / "start new merge"
    bool openFolder = false;
    bool playResult = false;  // merge only
    bool dontShowAgain = false;
};

// Everything a job needs from its user. Jobs live in the core and reach the user only through
// this: the desktop program shows boxes, the command line prints and answers from its options,
// tests script the answers. Messages arrive as ids with their arguments; the host formats each
// once, when it shows it.
//
// Threads: a job calls its host from the one thread it runs on, one call at a time. In the
// desktop program that is a worker thread while the window's host answers from the window
// thread, so every call below may come from a worker thread:
// - ShowMessage and the questions (AskYesNo, ShowInfoWithToggle, AskOverwrite, AskStop,
//   AskFailure, ChooseFolder, ChooseSaveFile, ShowCompletion) hand the box to the window thread
//   and block the job until the user has closed it;
// - SetProgress, SetFileProgress and SetStatus only hand a value over and return at once;
// - TakeStopRequest reads a flag that the window thread raises (an atomic, never a lock held
//   while asking);
// - OpenFolder and PlayFile start their work on the window thread and return.
class JobHost {
  public:
    virtual ~JobHost() = default;

    virtual void ShowMessage(MessageKind kind, const UserMessage& message) = 0;
    // A yes/no (or OK/Cancel) question; true for yes.
    virtual bool AskYesNo(const UserMessage& question) = 0;
    // An information box with a "don't show again" tick kept in setting
    // "LodeDialogToggle"/`toggleName`; the host reads and writes the toggle. True for OK.
    virtual bool ShowInfoWithToggle(const UserMessage& message, const std::string& toggleName,
                                    bool withCancel) = 0;
    virtual OverwriteReply AskOverwrite(const std::string& path) = 0;
    virtual StopAnswer AskStop(const std::string& sourceName) = 0;
    virtual FailureAnswer AskFailure(const UserMessage& message) = 0;
    // A folder picker with a prompt; nullopt when cancelled.
    virtual std::optional<std::string> ChooseFolder(Msg prompt, const std::string& startFolder) = 0;
    // A save-file dialog with a title, for an MP3 output: it opens in `startFolder` proposing
    // `proposedName`; nullopt when cancelled. A host that cannot ask (the command line names
    // its output) keeps this default.
    virtual std::optional<std::string> ChooseSaveFile(Msg title, const std::string& startFolder,
                                                      const std::string& proposedName) {
        (void)title;
        (void)startFolder;
        (void)proposedName;
        return std::nullopt;
    }

    virtual void SetProgress(std::uint64_t position, std::uint64_t range) = 0;
    // How far the work on the current unit (the file being joined) has come, in any unit
    // (`done` of `total`); a host that shows only whole units keeps this default.
    virtual void SetFileProgress(std::uint64_t done, std::uint64_t total) {
        (void)done;
        (void)total;
    }
    virtual void SetStatus(const std::string& text) = 0;
    // Whether the user asked to stop since the last call; reading clears the request.
    virtual bool TakeStopRequest() = 0;

    virtual CompletionReply ShowCompletion(const CompletionReport& report) = 0;
    virtual void OpenFolder(const std::string& folder) = 0;
    virtual void PlayFile(const std::string& path) = 0;
};

}  // namespace partita
