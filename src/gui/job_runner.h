#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

#include "window_job_host.h"

namespace partita::gui {

// Runs a page's jobs, one at a time, on a worker thread, with the host they talk through. The
// page hears Started and Finished on the window thread: between them IsRunning is true, the page
// keeps its editing commands off and reports itself busy (the window then refuses to close).
//
// A runner deleted while its job runs (the program is ending) abandons the host, so that the job
// takes a stop request and every question its quickest way out, and waits for the job to end.
//
// In a page:
//   runner_ = new JobRunner(context, this, SplitJobBoxes(), this);
//   connect(&runner_->Host(), &WindowJobHost::ProgressChanged, ...);  // the progress bar
//   connect(&runner_->Host(), &WindowJobHost::StatusChanged, ...);    // the status line
//   connect(runner_, &JobRunner::Started, ...);   // commands off, Start becomes Stop
//   connect(runner_, &JobRunner::Finished, ...);  // commands on, read the job's outcome
//   runner_->Start([copy of what the job needs](JobHost& host) { ... });
//   Stop: runner_->RequestStop();  IsBusy(): runner_->IsRunning().
// The job runs on another thread: it works on its own copy of the page's data and leaves the
// page's list to the Finished handler.
class JobRunner : public QObject {
    Q_OBJECT

  public:
    JobRunner(const PageContext& context, QWidget* window, JobBoxSettings boxes,
              QObject* parent = nullptr);
    ~JobRunner() override;

    WindowJobHost& Host() { return *host_; }
    bool IsRunning() const { return running_; }

    // Starts `job` on a worker thread, with a fresh stop request; false while a job runs.
    bool Start(std::function<void(JobHost& host)> job);
    // Stop: the job takes the request at its next unit of work.
    void RequestStop() { host_->RequestStop(); }

  signals:
    void Started();
    // After every progress and status the job set has been delivered.
    void Finished();

  private:
    void Done();

    std::unique_ptr<WindowJobHost> host_;
    std::thread worker_;
    bool running_ = false;
};

}  // namespace partita::gui
