#pragma once

#include "app/settings_store.h"
#include "join/merge_job.h"

namespace partita {

// The engines of a real merge: the frame copy, the encoder fed by the audio layer, the ID3
// writers, and the encoder looked for in "Install Path", the program's folder and PATH.
class StandardMergeEngines : public MergeEngines {
  public:
    explicit StandardMergeEngines(SettingsStore& settings) : settings_(settings) {}

    audio::AudioType AudioType(const std::string& path) override;
    MergeResult Direct(const std::vector<MergeSource>& sources, std::FILE* output,
                       const std::string& outputPath, const TagInfo& tags, JobHost& host) override;
    MergeResult Convert(const std::string& encoderPath, const std::string& outputPath,
                        const std::vector<MergeSource>& sources, const ConvertOptions& options,
                        JobHost& host) override;
    bool WriteId3v2(const std::string& path, const TagInfo& tags) override;
    bool WriteId3v1(const std::string& path, const TagInfo& tags) override;
    std::string FindEncoder() override;

  private:
    SettingsStore& settings_;
};

}  // namespace partita
