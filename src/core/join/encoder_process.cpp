#include "join/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

extern char** environ;

namespace partita {
namespace {

constexpr std::size_t kKeptOutput = 8192;
// A larger pipe lets the encoder run ahead while the next chunk is decoded.
constexpr int kPipeSize = 1 << 20;

// Writes to a pipe whose reader may have gone: SIGPIPE is blocked in this thread while writing,
// and a SIGPIPE raised by the write is taken back before it is unblocked, so the process never
// dies of it and other threads' signals stay as they were.
class SigpipeGuard {
  public:
    SigpipeGuard() {
        sigemptyset(&pipeSet_);
        sigaddset(&pipeSet_, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipeSet_, &old_);
    }
    ~SigpipeGuard() {
        if (raised_ && !wasPending_) {
            timespec zero{0, 0};
            while (sigtimedwait(&pipeSet_, nullptr, &zero) == -1 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    void Raised() { raised_ = true; }

  private:
    sigset_t pipeSet_;
    sigset_t old_;
    bool wasPending_ = false;
    bool raised_ = false;
};

}  // namespace

EncoderProcess::~EncoderProcess() {
    if (pid_ > 0 && !exited_)
        Kill();
    CloseInput();
    if (reader_.joinable())
        reader_.join();
}

bool EncoderProcess::Start(const std::vector<std::string>& arguments, std::string outputPath) {
    if (arguments.empty() || pid_ > 0)
        return false;
    outputPath_ = std::move(outputPath);
    int inPipe[2];
    int outPipe[2];
    if (::pipe2(inPipe, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(outPipe, O_CLOEXEC) != 0) {
        ::close(inPipe[0]);
        ::close(inPipe[1]);
        return false;
    }
    ::fcntl(inPipe[1], F_SETPIPE_SZ, kPipeSize);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDERR_FILENO);
    // The child starts with default signal handling and no blocked signals.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGXFSZ, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // A process group of its own: an interrupt typed at the terminal reaches this program,
    // which stops the encoder itself, instead of killing the encoder under a running merge.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    int error = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    if (error != 0) {
        lastError_ = error;
        ::close(inPipe[1]);
        ::close(outPipe[0]);
        return false;
    }
    pid_ = pid;
    input_ = inPipe[1];
    exited_ = false;
    reader_ = std::thread([this, fd = outPipe[0]] { ReadOutput(fd); });
    return true;
}

void EncoderProcess::ReadOutput(int fd) {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        std::lock_guard lock(outputMutex_);
        output_.append(buffer, static_cast<std::size_t>(n));
        if (output_.size() > 2 * kKeptOutput)
            output_.erase(0, output_.size() - kKeptOutput);
    }
    ::close(fd);
}

std::string EncoderProcess::Output() const {
    std::lock_guard lock(outputMutex_);
    return output_.size() > kKeptOutput ? output_.substr(output_.size() - kKeptOutput) : output_;
}

UserMessage EncoderProcess::Failure() {
    // An encoder whose input broke is on its way out: give it a moment to end with its status.
    constexpr int kWaitSteps = 50;
    constexpr timespec kStep{0, 20'000'000};
    for (int i = 0; i < kWaitSteps && IsActive(); ++i)
        ::nanosleep(&kStep, nullptr);
    // Its own last words tell what it disliked.
    std::string said = Output();
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r'))
        said.pop_back();
    if (auto cut = said.find_last_of("\r\n"); cut != std::string::npos)
        said.erase(0, cut + 1);
    UserMessage message = UserMessage(Msg::EncoderFailed).WithDetail(said);
    if (exited_ && WIFSIGNALED(status_) && WTERMSIG(status_) == SIGXFSZ) {
        message.WithReason(EFBIG);
    } else if (!outputPath_.empty()) {
        std::string folder = std::filesystem::path(outputPath_).parent_path().string();
        struct statvfs room {};
        if (::statvfs(folder.empty() ? "." : folder.c_str(), &room) == 0 && room.f_bavail == 0)
            message.WithReason(ENOSPC);
    }
    return message;
}

void EncoderProcess::Reap(bool wait) {
    if (pid_ <= 0 || exited_)
        return;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, wait ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_ || r < 0) {
        exited_ = true;
        status_ = r == pid_ ? status : -1;
    }
}

bool EncoderProcess::IsActive() {
    Reap(false);
    return pid_ > 0 && !exited_;
}

bool EncoderProcess::Write(const std::uint8_t* data, std::size_t size) {
    if (input_ < 0) {
        lastError_ = EPIPE;
        return false;
    }
    SigpipeGuard guard;
    while (size > 0) {
        ssize_t n = ::write(input_, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            lastError_ = errno;
            if (errno == EPIPE)
                guard.Raised();
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void EncoderProcess::CloseInput() {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
}

bool EncoderProcess::Finish() {
    CloseInput();
    Reap(true);
    if (reader_.joinable())
        reader_.join();
    return pid_ > 0 && exited_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
}

void EncoderProcess::Kill() {
    CloseInput();
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, SIGKILL);
        Reap(true);
    }
    if (reader_.joinable())
        reader_.join();
}

}  // namespace partita
