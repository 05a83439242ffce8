#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "app/job_host.h"
#include "app/setting_values.h"
#include "page.h"

namespace partita::gui {

// Which finished-job dialog a page's jobs end with, and which settings the ticks of its boxes
// write: the overwrite box's "don't ask again" stores 0 (1 when unticked), the finished-job box's
// "don't show again" stores 0 and the merge's "start a new merge" its state. A null setting is
// left alone.
struct JobBoxSettings {
    enum class Completion { Split, Merge };
    Completion completion = Completion::Split;
    const IntSetting* confirmOverwrite = nullptr;
    const IntSetting* showSuccess = nullptr;
    const IntSetting* startNew = nullptr;
};
JobBoxSettings SplitJobBoxes();
JobBoxSettings MergeJobBoxes();

// The job host of a desktop page. A job may run on a worker thread: its questions are shown on
// the window thread while the job waits for the answer, progress and status reach the window as
// queued signals (one pending delivery at most, so a fast job cannot flood the window), and the
// stop request is a flag that Stop raises. Called on the window thread (a job run there, a list
// command), it asks at once.
//
// The host lives on the window thread and outlives every job it serves (JobRunner sees to that).
class WindowJobHost : public QObject, public JobHost {
    Q_OBJECT

  public:
    WindowJobHost(const PageContext& context, QWidget* window, JobBoxSettings boxes);
    ~WindowJobHost() override;

    // Window thread: Stop. The job takes the request at its next unit of work.
    void RequestStop() { stopRequested_ = true; }
    // Before a job starts: forgets an earlier stop request.
    void ClearStopRequest() { stopRequested_ = false; }
    // The window goes away while a job still runs: the stop request stays raised, and every
    // question, also one waiting for the window now, gets the answer that leaves soonest (Skip,
    // Stop all, Abort, Cancel). Any thread.
    void Abandon();

    // The line below the finished-job message, such as a split's counts; none by default.
    void SetCompletionSummary(std::function<QString(const CompletionReport&)> summary) {
        completionSummary_ = std::move(summary);
    }
    // How a folder or a file is opened; the desktop's handler by default.
    void SetUrlOpener(std::function<bool(const QUrl&)> open) { openUrl_ = std::move(open); }

    void ShowMessage(MessageKind kind, const UserMessage& message) override;
    bool AskYesNo(const UserMessage& question) override;
    bool ShowInfoWithToggle(const UserMessage& message, const std::string& toggleName,
                            bool withCancel) override;
    OverwriteReply AskOverwrite(const std::string& path) override;
    StopAnswer AskStop(const std::string& sourceName) override;
    FailureAnswer AskFailure(const UserMessage& message) override;
    std::optional<std::string> ChooseFolder(Msg prompt, const std::string& startFolder) override;
    std::optional<std::string> ChooseSaveFile(Msg title, const std::string& startFolder,
                                              const std::string& proposedName) override;
    void SetProgress(std::uint64_t position, std::uint64_t range) override;
    // Shown as the part of the current unit's share of the bar that is done.
    void SetFileProgress(std::uint64_t done, std::uint64_t total) override;
    void SetStatus(const std::string& text) override;
    bool TakeStopRequest() override;
    CompletionReply ShowCompletion(const CompletionReport& report) override;
    void OpenFolder(const std::string& folder) override;
    void PlayFile(const std::string& path) override;

  signals:
    // Emitted on the window thread, in the order the job set them; a fast job's intermediate
    // values may be left out, never the last one.
    void ProgressChanged(quint64 position, quint64 range);
    void StatusChanged(const QString& text);

  private:
    struct WaitSlot;
    template <typename Answer>
    struct AnswerSlot;

    // Runs `ask` on the window thread and waits for its answer; `leave` when the host is
    // abandoned or the window is gone.
    template <typename Answer>
    Answer OnWindowThread(std::function<Answer(QWidget* window)> ask, Answer leave);
    // Runs `work` on the window thread without waiting.
    void Post(std::function<void()> work);
    void SchedulePublish();
    void Publish();
    void OpenUrl(const QUrl& url);

    SettingsStore& settings_;
    UserMessages& messages_;
    QPointer<QWidget> window_;
    JobBoxSettings boxes_;
    std::function<QString(const CompletionReport&)> completionSummary_;
    std::function<bool(const QUrl&)> openUrl_;

    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> abandoned_{false};
    std::mutex waitMutex_;
    std::shared_ptr<WaitSlot> waiting_;  // the question a job waits on

    // The latest progress and status from the job, delivered by Publish in the order they were
    // set (0: not set since the last delivery).
    std::mutex publishMutex_;
    std::uint64_t setCount_ = 0;
    std::uint64_t progressSetAt_ = 0;
    std::uint64_t statusSetAt_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t range_ = 0;
    std::uint64_t unitPosition_ = 0;  // as the job last set them, whole units
    std::uint64_t unitRange_ = 0;
    std::string status_;
    std::atomic<bool> publishPosted_{false};
};

}  // namespace partita::gui
