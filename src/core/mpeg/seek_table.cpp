#include "mpeg/seek_table.h"

#include <algorithm>
#include <vector>

namespace partita {
namespace {

std::uint32_t ReadBe(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

void PutBe(std::uint8_t* p, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - i)));
}

constexpr std::size_t kVbriEntries = 26;

}  // namespace

std::array<std::uint8_t, 100> XingToc(std::span<const std::uint64_t> frameStarts,
                                      std::uint64_t totalBytes) {
    std::array<std::uint8_t, 100> toc{};
    if (frameStarts.empty() || totalBytes == 0)
        return toc;
    for (std::size_t i = 0; i < toc.size(); ++i) {
        const std::uint64_t at = frameStarts[i * frameStarts.size() / toc.size()];
        toc[i] = static_cast<std::uint8_t>(std::min<std::uint64_t>(255, at * 256 / totalBytes));
    }
    return toc;
}

bool RebuildVbriTable(std::span<std::uint8_t> tag, std::span<const std::uint64_t> frameStarts,
                      std::uint64_t totalBytes) {
    if (tag.size() < kVbriEntries)
        return false;
    const std::uint32_t count = ReadBe(tag.data() + 18, 2);
    std::uint32_t scale = std::max<std::uint32_t>(1, ReadBe(tag.data() + 20, 2));
    const int entryBytes = static_cast<int>(ReadBe(tag.data() + 22, 2));
    std::uint64_t framesPerEntry = std::max<std::uint32_t>(1, ReadBe(tag.data() + 24, 2));
    if (entryBytes < 1 || entryBytes > 4)
        return false;
    const std::uint64_t room =
        std::min<std::uint64_t>(count, (tag.size() - kVbriEntries) / entryBytes);
    if (room == 0)
        return false;

    const std::uint64_t frames = frameStarts.size();
    framesPerEntry = std::max(framesPerEntry, (frames + room - 1) / room);
    if (framesPerEntry > 0xFFFF)
        return false;
    std::vector<std::uint64_t> sizes;
    for (std::uint64_t first = 0; first < frames; first += framesPerEntry) {
        const std::uint64_t next = first + framesPerEntry;
        sizes.push_back((next < frames ? frameStarts[next] : totalBytes) - frameStarts[first]);
    }
    const std::uint64_t largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    const std::uint64_t limit = (std::uint64_t{1} << (8 * entryBytes)) - 1;
    scale =
        static_cast<std::uint32_t>(std::max<std::uint64_t>(scale, (largest + limit - 1) / limit));
    if (scale > 0xFFFF)
        return false;

    PutBe(tag.data() + 18, sizes.size(), 2);
    PutBe(tag.data() + 20, scale, 2);
    PutBe(tag.data() + 24, framesPerEntry, 2);
    std::uint8_t* entry = tag.data() + kVbriEntries;
    std::fill(entry, entry + room * static_cast<std::uint64_t>(entryBytes), 0);
    for (std::uint64_t size : sizes) {
        PutBe(entry, (size + scale / 2) / scale, entryBytes);
        entry += entryBytes;
    }
    return true;
}

}  // namespace partita
