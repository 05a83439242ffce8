#pragma once

#include <string>

#include "join/merge_job.h"

namespace partita {

// The engines of a real merge: the frame copy, the encoder fed by the audio layer, the ID3
// writers, and the encoder looked for in the install folder, the program's folder and PATH.
// ID3v1 texts are read and written in `legacyCodePage`.
class StandardMergeEngines : public MergeEngines {
  public:
    StandardMergeEngines(std::string installFolder, std::string legacyCodePage)
        : installFolder_(std::move(installFolder)), legacyCodePage_(std::move(legacyCodePage)) {}
    MergeResult Direct(const std::vector<MergeSource>& sources, std::FILE* output,
                       const std::string& outputPath, const TagInfo& tags, JobHost& host) override;
    MergeResult Convert(const std::string& encoderPath, const std::string& outputPath,
                        const std::vector<MergeSource>& sources, const ConvertOptions& options,
                        JobHost& host) override;
    bool WriteId3v2(const std::string& path, const TagInfo& tags,
                    std::span<const std::uint8_t> extraFrames) override;
    bool WriteId3v1(const std::string& path, const TagInfo& tags) override;
    std::string FindEncoder() override;
    std::vector<MergedPiece> Pieces() const override { return pieces_; }

  private:
    std::vector<MergedPiece> pieces_;
    std::string installFolder_;
    std::string legacyCodePage_;
};

}  // namespace partita
