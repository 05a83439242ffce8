#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace partita::audio {

// Whether the bytes at the start of an ASF (Windows Media) file declare its content encrypted:
// the header object holds a Content Encryption, Extended Content Encryption or (in its header
// extension) an Advanced Content Encryption object. Such files decode only with a licence.
bool IsProtectedAsf(std::span<const std::uint8_t> fileStart);

// The same for a file on disk (reads at most the header object, up to 1 MB).
bool IsProtectedAsfFile(const std::filesystem::path& path);

}  // namespace partita::audio
