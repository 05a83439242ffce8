#pragma once

#include <filesystem>

namespace partita {

// Which ID3 tags a file carries: an ID3v1 tag in its last 128 bytes, and an ID3v2 tag at its
// start with its major version (2, 3 or 4; 0 when there is none).
struct Id3Versions {
    bool id3v1 = false;
    int id3v2Major = 0;
    bool HasId3v2() const { return id3v2Major != 0; }
    bool operator==(const Id3Versions&) const = default;
};

// Looks at the file's first 10 and last 128 bytes. An ID3v2 header counts when its version is
// 2 to 4, its size bytes are 7-bit and the tag fits the file; an ID3v1 tag counts when it lies
// after that tag. Nothing is found in a file that cannot be read.
Id3Versions ReadId3Versions(const std::filesystem::path& path);

}  // namespace partita
