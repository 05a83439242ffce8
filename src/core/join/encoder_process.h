#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "join/pcm_stream.h"

namespace partita {

// The encoder as a child process: started without a shell from an argument list, its standard
// input a pipe this side writes to, its output and error collected (the last few kilobytes are
// kept for messages). Writing never raises SIGPIPE in this process when the encoder has gone.
class EncoderProcess : public PcmSink {
  public:
    EncoderProcess() = default;
    ~EncoderProcess() override;
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Starts the program `arguments[0]` (a path; PATH is not searched). False when it cannot be
    // started, for instance when it does not exist. `outputPath`, the file it writes, is looked
    // at when it fails.
    bool Start(const std::vector<std::string>& arguments, std::string outputPath = {});

    bool IsActive() override;
    bool Write(const std::uint8_t* data, std::size_t size) override;
    int LastError() const override { return lastError_; }
    // The encoder failed: the message with its own last words and, where the system shows one,
    // the reason (its output grew past the file size limit, or the output's disk is full).
    UserMessage Failure() override;

    // Closes the input so the encoder finishes its file, and waits for it. True when it ended
    // with exit code 0.
    bool Finish();
    // Ends the encoder at once (a stopped or failed merge) and waits for it.
    void Kill();

    // What the encoder printed (its last part).
    std::string Output() const;

  private:
    void CloseInput();
    void Reap(bool wait);
    void ReadOutput(int fd);

    std::string outputPath_;
    pid_t pid_ = -1;
    int input_ = -1;
    bool exited_ = false;
    int status_ = 0;
    int lastError_ = 0;
    std::thread reader_;
    mutable std::mutex outputMutex_;
    std::string output_;
};

}  // namespace partita
