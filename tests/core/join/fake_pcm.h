#pragma once

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "join/pcm_stream.h"

namespace partita::test {

// Sources served from PCM held in memory, by path; the test gives them in the output format.
class FakePcmDecoder : public PcmDecoder {
  public:
    struct Clip {
        std::vector<std::int16_t> samples;
        int channels = 2;
        int sampleRate = 44100;
    };
    std::map<std::string, Clip> clips;
    std::map<std::string, int> failuresLeft;  // opens that fail before one succeeds
    std::vector<std::string> opened;
    std::vector<std::uint64_t> seeks;

    bool Has(const std::string& path) const { return clips.count(path) != 0; }

    std::unique_ptr<PcmSource> Open(const std::string& path, int, int,
                                    UserMessage& failure) override {
        opened.push_back(path);
        auto it = clips.find(path);
        if (it == clips.end() || failuresLeft[path]-- > 0) {
            (void)failure;
            return nullptr;
        }
        return std::make_unique<Source>(it->second, seeks);
    }

  private:
    class Source : public PcmSource {
      public:
        Source(const Clip& clip, std::vector<std::uint64_t>& seeks) : clip_(clip), seeks_(seeks) {}
        bool Seek(std::uint64_t ms) override {
            seeks_.push_back(ms);
            pos_ = static_cast<std::size_t>(ms * clip_.sampleRate / 1000) * clip_.channels;
            return pos_ <= clip_.samples.size();
        }
        std::size_t Read(std::uint8_t* buffer, std::size_t size) override {
            std::size_t values =
                std::min(size / 2, clip_.samples.size() - std::min(pos_, clip_.samples.size()));
            std::memcpy(buffer, clip_.samples.data() + pos_, values * 2);
            pos_ += values;
            return values * 2;
        }

      private:
        const Clip& clip_;
        std::vector<std::uint64_t>& seeks_;
        std::size_t pos_ = 0;
    };
};

// An encoder input that keeps what it receives; it can stop being active or refuse writes.
class FakePcmSink : public PcmSink {
  public:
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> writes;
    bool active = true;
    int failAfterWrites = -1;  // refuse writes once this many succeeded
    int writeError = EPIPE;    // why a write is refused

    bool IsActive() override { return active; }
    bool Write(const std::uint8_t* data, std::size_t size) override {
        if (failAfterWrites >= 0 && static_cast<int>(writes.size()) >= failAfterWrites)
            return false;
        bytes.insert(bytes.end(), data, data + size);
        writes.push_back(size);
        return true;
    }
    int LastError() const override { return writeError; }

    std::vector<std::int16_t> Samples() const {
        std::vector<std::int16_t> s(bytes.size() / 2);
        std::memcpy(s.data(), bytes.data(), s.size() * 2);
        return s;
    }
};

}  // namespace partita::test
