#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "audio/open_error.h"

namespace partita::audio {

// What the audio layer makes of a whole file: its samples per channel and the packets it could
// not decode.
struct DecodeResult {
    OpenError error = OpenError::None;  // why the file could not be opened
    int sampleRate = 0;
    int channels = 0;
    std::uint64_t samples = 0;
    std::uint64_t errors = 0;
};
DecodeResult DecodeWhole(const std::filesystem::path& path);

// Whether the decoded samples of `pieces`, one after the other, are those of `source`.
struct PcmComparison {
    bool decoded = false;  // every file could be opened, all with the source's rate and channels
    std::uint64_t sourceSamples = 0;
    std::uint64_t pieceSamples = 0;
    std::optional<std::uint64_t> firstDifference;  // the first sample (per channel) that differs

    bool Equal() const { return decoded && !firstDifference && sourceSamples == pieceSamples; }
};
PcmComparison ComparePcm(const std::filesystem::path& source,
                         const std::vector<std::filesystem::path>& pieces);

}  // namespace partita::audio
