#pragma once

#include <string>

#include "join/merge_list.h"

namespace partita {

// The add step's look into real files: MPEG files are analysed from their frame headers (the
// audio module is not loaded for them), every other file is opened with the audio layer; the
// tags come from the tag reader. ID3v1 texts are read in `legacyCodePage`.
class AudioFileInspector : public MergeFileInspector {
  public:
    explicit AudioFileInspector(std::string legacyCodePage)
        : legacyCodePage_(std::move(legacyCodePage)) {}

    bool Inspect(const std::string& path, MergeFileFacts& facts, UserMessage& failure) override;

  private:
    std::string legacyCodePage_;
};

}  // namespace partita
