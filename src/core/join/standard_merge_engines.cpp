#include "join/standard_merge_engines.h"

#include <cstdlib>

#include "join/audio_pcm_decoder.h"
#include "join/direct_merge.h"
#include "join/encoder_command.h"
#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace partita {

MergeResult StandardMergeEngines::Direct(const std::vector<MergeSource>& sources, std::FILE* output,
                                         const std::string& outputPath, const TagInfo& tags,
                                         JobHost& host) {
    DirectMergeOptions options;
    options.legacyCodePage = legacyCodePage_;
    options.pieces = &pieces_;
    return DirectMerge(sources, output, outputPath, tags, host, options);
}

MergeResult StandardMergeEngines::Convert(const std::string& encoderPath,
                                          const std::string& outputPath,
                                          const std::vector<MergeSource>& sources,
                                          const ConvertOptions& options, JobHost& host) {
    AudioPcmDecoder decoder;
    ConvertOptions withPieces = options;
    withPieces.pieces = &pieces_;
    return RunConvertMerge(encoderPath, outputPath, sources, withPieces, decoder, host);
}

bool StandardMergeEngines::WriteId3v2(const std::string& path, const TagInfo& tags,
                                      std::span<const std::uint8_t> extraFrames) {
    return partita::WriteId3v2(path, tags, extraFrames);
}

bool StandardMergeEngines::WriteId3v1(const std::string& path, const TagInfo& tags) {
    return partita::WriteId3v1(path, tags, legacyCodePage_);
}

std::string StandardMergeEngines::FindEncoder() {
    const char* searchPath = std::getenv("PATH");
    return partita::FindEncoder(installFolder_, ProgramFolder(), searchPath ? searchPath : "");
}

}  // namespace partita
