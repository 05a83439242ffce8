#include "window_job_host.h"

#include <QDesktopServices>
#include <QThread>
#include <algorithm>
#include <condition_variable>
#include <optional>

#include "failure_box.h"
#include "info_toggle_dialog.h"
#include "merge_complete_dialog.h"
#include "mp3_save_dialog.h"
#include "options_dialog.h"
#include "overwrite_dialog.h"
#include "owned_dialog.h"
#include "question_box.h"
#include "split_complete_dialog.h"
#include "split_stop_dialog.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {
namespace {

UserMessages::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return UserMessages::Icon::Information;
        case MessageKind::Warning:
            return UserMessages::Icon::Warning;
        case MessageKind::Error:
            break;
    }
    return UserMessages::Icon::Error;
}

// The questions that confirm a stop the user asked for: OK and Cancel, and a host that is going
// away answers OK.
bool IsStopQuestion(const UserMessage& question) {
    return question.Is(Msg::ConfirmStopMerge) || question.Is(Msg::ConfirmStopSilenceDetection);
}

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

}  // namespace

JobBoxSettings SplitJobBoxes() {
    return {JobBoxSettings::Completion::Split, &settings::SplitConfirmOverwrite,
            &settings::SplitShowSuccess, nullptr};
}

JobBoxSettings MergeJobBoxes() {
    return {JobBoxSettings::Completion::Merge, &settings::JoinConfirmOverwrite,
            &settings::JoinShowSuccess, &settings::StartNewMerge};
}

// A job's wait for one answer from the window thread. The host releases it when it is abandoned;
// an answer given after that is dropped.
struct WindowJobHost::WaitSlot {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool released = false;

    void Release() {
        {
            std::lock_guard lock(mutex);
            released = true;
        }
        changed.notify_all();
    }
    bool Released() {
        std::lock_guard lock(mutex);
        return released;
    }
};

template <typename Answer>
struct WindowJobHost::AnswerSlot : WaitSlot {
    std::optional<Answer> answer;

    void Give(Answer given) {
        {
            std::lock_guard lock(mutex);
            if (!released)
                answer = std::move(given);
            done = true;
        }
        changed.notify_all();
    }
    std::optional<Answer> Wait() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return done || released; });
        return answer;
    }
};

WindowJobHost::WindowJobHost(const PageContext& context, QWidget* window, JobBoxSettings boxes)
    : settings_(context.settings), messages_(context.messages), window_(window), boxes_(boxes) {}

WindowJobHost::~WindowJobHost() = default;

void WindowJobHost::Abandon() {
    std::shared_ptr<WaitSlot> waiting;
    {
        std::lock_guard lock(waitMutex_);
        abandoned_ = true;
        waiting = waiting_;
    }
    stopRequested_ = true;
    if (waiting)
        waiting->Release();
}

// An ask touches nothing of the host once its dialog is open (what it writes afterwards it took
// along), and its dialog may go away with the window: the host need not outlive an open dialog.
template <typename Answer>
Answer WindowJobHost::OnWindowThread(std::function<Answer(QWidget* window)> ask, Answer leave) {
    if (QThread::currentThread() == thread())
        return abandoned_ ? leave : ask(window_);
    auto slot = std::make_shared<AnswerSlot<Answer>>();
    {
        std::lock_guard lock(waitMutex_);
        if (abandoned_)
            return leave;
        waiting_ = slot;
    }
    // Queued to the host: a host deleted before the window thread gets to it drops the call.
    QMetaObject::invokeMethod(
        this,
        [this, slot, ask = std::move(ask), leave] {
            if (slot->Released())
                return;
            slot->Give(abandoned_ ? leave : ask(window_));
        },
        Qt::QueuedConnection);
    std::optional<Answer> answer = slot->Wait();
    {
        std::lock_guard lock(waitMutex_);
        waiting_.reset();
    }
    return answer.value_or(leave);
}

void WindowJobHost::Post(std::function<void()> work) {
    if (QThread::currentThread() == thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void WindowJobHost::ShowMessage(MessageKind kind, const UserMessage& message) {
    OnWindowThread<bool>(
        [&messages = messages_, kind, message](QWidget* window) {
            messages.Show(window, IconOf(kind), message);
            return true;
        },
        false);
}

bool WindowJobHost::AskYesNo(const UserMessage& question) {
    bool stop = IsStopQuestion(question);
    return OnWindowThread<bool>(
        [question, stop](QWidget* window) {
            auto buttons = stop ? QuestionBox::Buttons::OkCancel : QuestionBox::Buttons::YesNo;
            return RunOwnedDialog(
                new QuestionBox(MessageText(question), buttons, window),
                [](QuestionBox& box, bool) { return box.Confirmed(); }, stop);
        },
        stop);
}

bool WindowJobHost::ShowInfoWithToggle(const UserMessage& message, const std::string& toggleName,
                                       bool withCancel) {
    return OnWindowThread<bool>(
        [&settings = settings_, message, toggleName, withCancel](QWidget* window) {
            return InfoToggleDialog::ShowUnlessTurnedOff(settings, toggleName, MessageText(message),
                                                         withCancel, window);
        },
        false);
}

OverwriteReply WindowJobHost::AskOverwrite(const std::string& path) {
    return OnWindowThread<OverwriteReply>(
        [&settings = settings_, boxes = boxes_, path](QWidget* window) {
            return RunOwnedDialog(
                new OverwriteDialog(ToQString(path), window),
                [&settings, boxes](OverwriteDialog& dialog, bool) {
                    OverwriteReply reply = dialog.Reply();
                    if (boxes.confirmOverwrite)
                        boxes.confirmOverwrite->Write(settings, reply.dontAskAgain ? 0 : 1);
                    return reply;
                },
                OverwriteReply{});
        },
        OverwriteReply{});
}

StopAnswer WindowJobHost::AskStop(const std::string& sourceName) {
    return OnWindowThread<StopAnswer>(
        [sourceName](QWidget* window) {
            return RunOwnedDialog(
                new SplitStopDialog(ToQString(sourceName), window),
                [](SplitStopDialog& dialog, bool) { return dialog.Answer(); }, StopAnswer::StopAll);
        },
        StopAnswer::StopAll);
}

FailureAnswer WindowJobHost::AskFailure(const UserMessage& message) {
    return OnWindowThread<FailureAnswer>(
        [message](QWidget* window) {
            return RunOwnedDialog(
                new FailureBox(MessageText(message), window),
                [](FailureBox& box, bool) { return box.Answer(); }, FailureAnswer::Abort);
        },
        FailureAnswer::Abort);
}

std::optional<std::string> WindowJobHost::ChooseFolder(Msg prompt, const std::string& startFolder) {
    return OnWindowThread<std::optional<std::string>>(
        [prompt, startFolder](QWidget* window) {
            return Chosen(
                PickFolderWithDialog(window, MessageText(prompt), ToQString(startFolder)));
        },
        std::nullopt);
}

std::optional<std::string> WindowJobHost::ChooseSaveFile(Msg title, const std::string& startFolder,
                                                         const std::string& proposedName) {
    return OnWindowThread<std::optional<std::string>>(
        [title, startFolder, proposedName](QWidget* window) {
            return Chosen(PickMp3SaveFile(window, MessageText(title), ToQString(startFolder),
                                          ToQString(proposedName)));
        },
        std::nullopt);
}

CompletionReply WindowJobHost::ShowCompletion(const CompletionReport& report) {
    return OnWindowThread<CompletionReply>(
        [this, report](QWidget* window) {
            CompletionDialog* dialog = nullptr;
            if (boxes_.completion == JobBoxSettings::Completion::Merge)
                dialog = new MergeCompleteDialog(report, window);
            else
                dialog = new SplitCompleteDialog(report, window);
            if (completionSummary_)
                dialog->SetSummary(completionSummary_(report));
            return RunOwnedDialog(
                dialog,
                [&settings = settings_, boxes = boxes_](CompletionDialog& done, bool) {
                    CompletionReply reply = done.Reply();
                    if (boxes.showSuccess)
                        boxes.showSuccess->Write(settings, reply.dontShowAgain ? 0 : 1);
                    if (boxes.startNew)
                        boxes.startNew->Write(settings, reply.startNew ? 1 : 0);
                    return reply;
                },
                CompletionReply{});
        },
        CompletionReply{});
}

void WindowJobHost::OpenFolder(const std::string& folder) {
    QUrl url = QUrl::fromLocalFile(ToQString(folder));
    Post([this, url] { OpenUrl(url); });
}

void WindowJobHost::PlayFile(const std::string& path) {
    QUrl url = QUrl::fromLocalFile(ToQString(path));
    Post([this, url] { OpenUrl(url); });
}

void WindowJobHost::OpenUrl(const QUrl& url) {
    if (abandoned_)
        return;
    if (openUrl_)
        openUrl_(url);
    else
        QDesktopServices::openUrl(url);
}

void WindowJobHost::SetProgress(std::uint64_t position, std::uint64_t range) {
    {
        std::lock_guard lock(publishMutex_);
        position_ = unitPosition_ = position;
        range_ = unitRange_ = range;
        progressSetAt_ = ++setCount_;
    }
    SchedulePublish();
}

void WindowJobHost::SetFileProgress(std::uint64_t done, std::uint64_t total) {
    // The current file's share of the bar, in steps fine enough that a file of hours moves it.
    constexpr std::uint64_t kSteps = 1000;
    {
        std::lock_guard lock(publishMutex_);
        if (unitRange_ == 0 || total == 0 || unitPosition_ >= unitRange_)
            return;
        position_ = unitPosition_ * kSteps + std::min(done, total) * kSteps / total;
        range_ = unitRange_ * kSteps;
        progressSetAt_ = ++setCount_;
    }
    SchedulePublish();
}

void WindowJobHost::SetStatus(const std::string& text) {
    {
        std::lock_guard lock(publishMutex_);
        status_ = text;
        statusSetAt_ = ++setCount_;
    }
    SchedulePublish();
}

void WindowJobHost::SchedulePublish() {
    if (QThread::currentThread() == thread()) {
        Publish();
        return;
    }
    if (!publishPosted_.exchange(true))
        QMetaObject::invokeMethod(this, &WindowJobHost::Publish, Qt::QueuedConnection);
}

void WindowJobHost::Publish() {
    // Cleared before the values are taken: a value set after this posts a new delivery.
    publishPosted_ = false;
    std::uint64_t progressAt = 0;
    std::uint64_t statusAt = 0;
    std::uint64_t position = 0;
    std::uint64_t range = 0;
    std::string status;
    {
        std::lock_guard lock(publishMutex_);
        std::swap(progressAt, progressSetAt_);
        std::swap(statusAt, statusSetAt_);
        position = position_;
        range = range_;
        status = status_;
    }
    bool statusFirst = statusAt != 0 && (progressAt == 0 || statusAt < progressAt);
    if (statusFirst)
        emit StatusChanged(ToQString(status));
    if (progressAt != 0)
        emit ProgressChanged(position, range);
    if (statusAt != 0 && !statusFirst)
        emit StatusChanged(ToQString(status));
}

bool WindowJobHost::TakeStopRequest() {
    return stopRequested_.exchange(false) || abandoned_;
}

}  // namespace partita::gui
