#include "audio/asf_protection.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <vector>

namespace partita::audio {
namespace {

using Guid = std::array<std::uint8_t, 16>;

// GUIDs as they are stored: the first three fields little-endian (ASF format, section 10.1).
constexpr Guid kHeaderObject{0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr std::array<Guid, 3> kEncryptionObjects{{
    // Content Encryption Object 2211B3FB-BD23-11D2-B4B7-00A0C955FC6E
    {0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11, 0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC,
     0x6E},
    // Extended Content Encryption Object 298AE614-2622-4C17-B935-DAE07EE9289C
    {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C, 0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28,
     0x9C},
    // Advanced Content Encryption Object 43058533-6981-49E6-9B74-AD12CB86D58C
    {0x33, 0x85, 0x05, 0x43, 0x81, 0x69, 0xE6, 0x49, 0x9B, 0x74, 0xAD, 0x12, 0xCB, 0x86, 0xD5,
     0x8C},
}};

constexpr std::size_t kMaxHeader = 1 << 20;

std::uint64_t ReadLe64(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

}  // namespace

bool IsProtectedAsf(std::span<const std::uint8_t> fileStart) {
    // Header Object: GUID, 64-bit size, 32-bit object count, two reserved bytes, objects.
    if (fileStart.size() < 30 ||
        !std::equal(kHeaderObject.begin(), kHeaderObject.end(), fileStart.begin()))
        return false;
    std::uint64_t size = ReadLe64(fileStart.subspan(16, 8));
    std::span<const std::uint8_t> header = fileStart.subspan(
        0, static_cast<std::size_t>(std::min<std::uint64_t>(size, fileStart.size())));
    // The encryption objects sit among the header's objects or inside its extension object;
    // a search of the header's bytes finds them in both.
    for (const Guid& guid : kEncryptionObjects) {
        if (std::search(header.begin() + 30, header.end(), guid.begin(), guid.end()) !=
            header.end())
            return true;
    }
    return false;
}

bool IsProtectedAsfFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> start(30);
    if (!file.read(reinterpret_cast<char*>(start.data()), 30))
        return false;
    std::uint64_t size = ReadLe64(std::span<const std::uint8_t>(start).subspan(16, 8));
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxHeader));
    if (wanted > start.size()) {
        start.resize(wanted);
        file.read(reinterpret_cast<char*>(start.data() + 30),
                  static_cast<std::streamsize>(wanted - 30));
        start.resize(30 + static_cast<std::size_t>(file.gcount()));
    }
    return IsProtectedAsf(start);
}

}  // namespace partita::audio
