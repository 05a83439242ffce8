#include "tags/id3_versions.h"

#include <array>
#include <cstdint>
#include <fstream>

#include "tags/id3v1.h"
#include "tags/id3v2.h"

namespace partita {

Id3Versions ReadId3Versions(const std::filesystem::path& path) {
    Id3Versions versions;
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in)
        return versions;

    std::array<std::uint8_t, kId3v2HeaderSize> head{};
    std::uint64_t tagEnd = 0;
    if (in.read(reinterpret_cast<char*>(head.data()), head.size()) && head[0] == 'I' &&
        head[1] == 'D' && head[2] == '3' && head[3] >= 2 && head[3] <= 4 &&
        (head[6] | head[7] | head[8] | head[9]) < 0x80) {
        tagEnd =
            kId3v2HeaderSize + ((std::uint64_t{head[6]} << 21) | (std::uint64_t{head[7]} << 14) |
                                (std::uint64_t{head[8]} << 7) | std::uint64_t{head[9]});
        if (tagEnd <= size)
            versions.id3v2Major = head[3];
        else
            tagEnd = 0;
    }

    Id3v1Bytes tail{};
    in.clear();
    if (size >= tagEnd + kId3v1Size && in.seekg(static_cast<std::streamoff>(size - kId3v1Size)) &&
        in.read(reinterpret_cast<char*>(tail.data()), tail.size()))
        versions.id3v1 = IsId3v1(tail);
    return versions;
}

}  // namespace partita
