#include "job_runner.h"

#include <exception>

namespace partita::gui {

JobRunner::JobRunner(const PageContext& context, QWidget* window, JobBoxSettings boxes,
                     QObject* parent)
    : QObject(parent), host_(std::make_unique<WindowJobHost>(context, window, boxes)) {}

JobRunner::~JobRunner() {
    if (worker_.joinable()) {
        host_->Abandon();
        worker_.join();
    }
}

bool JobRunner::Start(std::function<void(JobHost& host)> job) {
    if (running_)
        return false;
    host_->ClearStopRequest();
    running_ = true;
    emit Started();
    worker_ = std::thread([this, job = std::move(job)] {
        // Nothing may leave the thread: a job that throws ends with its reason shown.
        try {
            job(*host_);
        } catch (const std::exception& error) {
            host_->ShowMessage(MessageKind::Error, UserMessage::Plain(error.what()));
        }
        // Queued after every delivery of progress and status the job caused.
        QMetaObject::invokeMethod(this, &JobRunner::Done, Qt::QueuedConnection);
    });
    return true;
}

void JobRunner::Done() {
    worker_.join();
    running_ = false;
    emit Finished();
}

}  // namespace partita::gui
