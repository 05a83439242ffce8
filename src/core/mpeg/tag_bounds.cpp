#include "mpeg/tag_bounds.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace partita {
namespace {

constexpr std::uint64_t kId3v1Length = 128;
constexpr std::uint64_t kApeFooterLength = 32;
constexpr std::uint64_t kId3v2HeaderLength = 10;
// Lyrics3 v1 looks no further back than this from its end marker.
constexpr std::uint64_t kLyrics3v1Reach = 5100;
// An ID3v2 tag without a footer is looked for this far back from where it would end.
constexpr std::uint64_t kAppendedId3v2Reach = 64 * 1024;
// More tags than this in a row at the end of a file are not looked for.
constexpr int kMostTrailingTags = 8;

bool BytesAre(BufferedFile& file, std::uint64_t at, std::string_view text) {
    char bytes[16];
    return text.size() <= sizeof bytes && file.ReadAt(at, bytes, text.size()) == text.size() &&
           std::memcmp(bytes, text.data(), text.size()) == 0;
}

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

// Four bytes of seven bits each, most significant first; false when a byte has its top bit.
bool SyncSafe(const std::uint8_t* p, std::uint64_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p[i] & 0x80)
            return false;
        value = (value << 7) | p[i];
    }
    return true;
}

// An ID3v2 header at `head` (10 bytes): its whole length, footer included; 0 when it is none.
std::uint64_t Id3v2Length(const std::uint8_t* head) {
    std::uint64_t size = 0;
    if (head[0] != 'I' || head[1] != 'D' || head[2] != '3' || head[3] < 2 || head[3] > 4 ||
        !SyncSafe(head + 6, size)) {
        return 0;
    }
    const bool footer = head[3] == 4 && (head[5] & 0x10);
    return kId3v2HeaderLength + size + (footer ? kId3v2HeaderLength : 0);
}

std::uint64_t ApeTagStart(BufferedFile& file, std::uint64_t floor, std::uint64_t end) {
    std::uint8_t footer[kApeFooterLength];
    if (end < floor + kApeFooterLength ||
        file.ReadAt(end - kApeFooterLength, footer, sizeof footer) != sizeof footer ||
        std::memcmp(footer, "APETAGEX", 8) != 0) {
        return end;
    }
    std::uint64_t length = Le32(footer + 12);
    if (Le32(footer + 20) & 0x80000000u)
        length += kApeFooterLength;  // the header
    return length >= kApeFooterLength && length <= end - floor ? end - length : end;
}

std::uint64_t Lyrics3Start(BufferedFile& file, std::uint64_t floor, std::uint64_t end) {
    char tail[15];
    if (end >= floor + sizeof tail &&
        file.ReadAt(end - sizeof tail, tail, sizeof tail) == sizeof tail &&
        std::memcmp(tail + 6, "LYRICS200", 9) == 0 &&
        std::all_of(tail, tail + 6, [](char c) { return c >= '0' && c <= '9'; })) {
        const std::uint64_t size = std::stoull(std::string(tail, 6));
        if (size + sizeof tail <= end - floor &&
            BytesAre(file, end - sizeof tail - size, "LYRICSBEGIN")) {
            return end - sizeof tail - size;
        }
    }
    const std::string_view begin = "LYRICSBEGIN";
    if (end < floor + 9 + begin.size() || !BytesAre(file, end - 9, "LYRICSEND"))
        return end;
    const std::uint64_t from = std::max(floor, end - 9 - std::min(end - 9, kLyrics3v1Reach));
    std::vector<char> bytes(end - 9 - from);
    if (file.ReadAt(from, bytes.data(), bytes.size()) != bytes.size())
        return end;
    auto found = std::search(bytes.begin(), bytes.end(), begin.begin(), begin.end());
    return found == bytes.end() ? end : from + static_cast<std::uint64_t>(found - bytes.begin());
}

std::uint64_t Id3v2Start(BufferedFile& file, std::uint64_t floor, std::uint64_t end) {
    std::uint8_t footer[kId3v2HeaderLength];
    std::uint64_t size = 0;
    if (end >= floor + 2 * kId3v2HeaderLength &&
        file.ReadAt(end - kId3v2HeaderLength, footer, sizeof footer) == sizeof footer &&
        std::memcmp(footer, "3DI", 3) == 0 && SyncSafe(footer + 6, size) &&
        size + 2 * kId3v2HeaderLength <= end - floor) {
        const std::uint64_t start = end - size - 2 * kId3v2HeaderLength;
        if (BytesAre(file, start, "ID3"))
            return start;
    }
    // No footer: a header whose size ends the tag just at `end`.
    const std::uint64_t from = std::max(floor, end - std::min(end, kAppendedId3v2Reach));
    if (end < from + kId3v2HeaderLength)
        return end;
    std::vector<std::uint8_t> bytes(end - from);
    if (file.ReadAt(from, bytes.data(), bytes.size()) != bytes.size())
        return end;
    for (std::size_t i = bytes.size() - kId3v2HeaderLength + 1; i-- > 0;) {
        if (bytes[i] == 'I' && Id3v2Length(&bytes[i]) == bytes.size() - i)
            return from + i;
    }
    return end;
}

}  // namespace

std::uint64_t LeadingId3v2Size(BufferedFile& file) {
    std::uint8_t head[kId3v2HeaderLength];
    if (file.ReadAt(0, head, sizeof head) != sizeof head)
        return 0;
    const std::uint64_t length = Id3v2Length(head);
    return length < file.Size() ? length : 0;
}

std::uint64_t TrailingTagsStart(BufferedFile& file, std::uint64_t floor) {
    std::uint64_t end = file.Size();
    if (end >= floor + kId3v1Length && BytesAre(file, end - kId3v1Length, "TAG"))
        end -= kId3v1Length;
    for (int i = 0; i < kMostTrailingTags; ++i) {
        std::uint64_t start = ApeTagStart(file, floor, end);
        if (start == end)
            start = Lyrics3Start(file, floor, end);
        if (start == end)
            start = Id3v2Start(file, floor, end);
        if (start == end)
            break;
        end = start;
    }
    return end;
}

}  // namespace partita
