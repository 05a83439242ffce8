#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace partita::test {

// The partita program running while a test talks to it: on a pseudo-terminal of a given width
// (standard input, output and error a terminal, as a user at a terminal has them), or with its
// output on a pipe and no input (as in a script). The test reads what it printed, types, sends
// signals and collects the exit code.
class ProgramSession {
  public:
    ProgramSession(const std::vector<std::string>& argv, bool terminal,
                   unsigned short columns = 80) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (terminal) {
            winsize size{};
            size.ws_row = 24;
            size.ws_col = columns;
            pid_ = ::forkpty(&fd_, nullptr, nullptr, &size);
            if (pid_ == 0) {
                ::execv(args[0], args.data());
                ::_exit(127);
            }
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::dup2(fds[1], STDERR_FILENO);
            ::close(fds[0]);
            ::close(fds[1]);
            int devnull = ::open("/dev/null", O_RDONLY);
            ::dup2(devnull, STDIN_FILENO);
            ::setsid();  // no terminal of the test's
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        fd_ = fds[0];
    }
    ~ProgramSession() {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0)
            ::close(fd_);
    }
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // Reads until `text` has been printed (true) or `seconds` pass or the output ends.
    bool WaitFor(const std::string& text, double seconds = 30) {
        auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (output.find(text, seen_) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !ReadSome(static_cast<int>(left.count())))
                return false;
        }
        seen_ = output.find(text, seen_) + text.size();
        return true;
    }
    void Type(const std::string& keys) { (void)!::write(fd_, keys.data(), keys.size()); }
    void Signal(int signal) { ::kill(pid_, signal); }
    // Reads the rest of the output and returns the exit code (-signal when killed by one). A
    // program still running a minute after its output ended is killed: a hang fails the test
    // instead of stopping the whole run.
    int Finish() {
        while (ReadSome(60000)) {
        }
        int status = WaitOrKill(pid_, 60);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

    std::string output;  // everything printed so far

  private:
    bool ReadSome(int milliseconds) {
        pollfd poll{fd_, POLLIN, 0};
        if (::poll(&poll, 1, milliseconds) <= 0)
            return false;
        char buffer[4096];
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            return false;  // the end (a terminal whose program ended reads as an error)
        output.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::size_t seen_ = 0;
    bool exited_ = false;
};

}  // namespace partita::test
