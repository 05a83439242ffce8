#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/user_message.h"

namespace partita {

// One source of a convert merge, decoded to interleaved signed 16-bit PCM already converted to
// the output's rate and channel count.
class PcmSource {
  public:
    virtual ~PcmSource() = default;
    // Moves to a time from the start of the source; false when it cannot.
    virtual bool Seek(std::uint64_t ms) = 0;
    // Fills `buffer` with up to `size` bytes (a whole number of sample frames); fewer only at
    // the end of the source, then 0.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t size) = 0;
};

// Opens sources for a convert merge.
class PcmDecoder {
  public:
    virtual ~PcmDecoder() = default;
    // A source of `path` converted to `sampleRate` and `channels`; null when the file cannot be
    // decoded, with `failure` (which callers start as CannotLoadFile) set to the reason when the
    // decoder knows a better one.
    virtual std::unique_ptr<PcmSource> Open(const std::string& path, int sampleRate, int channels,
                                            UserMessage& failure) = 0;
};

// Where a convert merge sends its PCM: the encoder's input.
class PcmSink {
  public:
    virtual ~PcmSink() = default;
    // Whether the receiver still runs.
    virtual bool IsActive() = 0;
    // Writes all bytes; false when they cannot be delivered; `LastError` tells why.
    virtual bool Write(const std::uint8_t* data, std::size_t size) = 0;
    virtual int LastError() const = 0;
    // What to tell the user once the receiver has gone.
    virtual UserMessage Failure() { return UserMessage(Msg::EncoderFailed); }
};

}  // namespace partita
