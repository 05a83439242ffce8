#pragma once

#include <map>
#include <string>

#include "join/merge_list.h"

namespace partita::test {

// An inspector with canned facts per file name; an unknown file fails to load.
class FakeInspector : public MergeFileInspector {
  public:
    std::map<std::string, MergeFileFacts> files;  // by file name (no folder)
    std::vector<std::string> inspected;

    MergeFileFacts& Add(const std::string& name, std::uint64_t durationMs, int sampleRate = 44100,
                        int channelMode = 1, double kbps = 128) {
        MergeFileFacts& f = files[name];
        f.audioType = audio::AudioType::Mpeg;
        f.durationMs = durationMs;
        f.fileSize = durationMs * 16;
        f.sampleRate = sampleRate;
        f.channels = channelMode == 3 ? 1 : 2;
        f.channelMode = channelMode;
        f.bitrateKbps = kbps;
        f.tags.title = name + " title";
        return f;
    }

    bool Inspect(const std::string& path, MergeFileFacts& facts, UserMessage& failure) override {
        inspected.push_back(path);
        std::string name = path.substr(path.find_last_of('/') + 1);
        auto it = files.find(name);
        if (it == files.end()) {
            failure = {Msg::CannotLoadFile, path};
            return false;
        }
        facts = it->second;
        return true;
    }
};

}  // namespace partita::test
