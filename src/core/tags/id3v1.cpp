#include "tags/id3v1.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "app/code_page.h"
#include "tags/genre_list.h"

namespace partita {
namespace {

constexpr std::size_t kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97;
constexpr std::size_t kTextWidth = 30, kYearWidth = 4, kShortComment = 28;
constexpr std::size_t kTrackMarker = 125, kTrack = 126, kGenre = 127;

std::string ReadText(std::span<const std::uint8_t, kId3v1Size> raw, std::size_t at,
                     std::size_t width, std::string_view codePage) {
    const char* begin = reinterpret_cast<const char*>(raw.data() + at);
    std::size_t length = 0;
    while (length < width && begin[length] != '\0')
        ++length;
    std::string text = LegacyToUtf8(std::string_view(begin, length), codePage);
    while (!text.empty() && std::strchr(" \t\r\n\f\v", text.back()) != nullptr)
        text.pop_back();
    return text;
}

void PutText(std::span<std::uint8_t, kId3v1Size> buffer, std::size_t at, std::size_t width,
             std::string_view text, std::string_view codePage) {
    std::string bytes = Utf8ToLegacy(text, codePage, width);
    std::memcpy(buffer.data() + at, bytes.data(), std::min(bytes.size(), width));
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size, off_t at) {
    while (size > 0) {
        ssize_t n = ::pwrite(fd, data, size, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
        at += n;
    }
    return true;
}

}  // namespace

bool IsId3v1(std::span<const std::uint8_t> bytes) {
    return bytes.size() == kId3v1Size && bytes[0] == 'T' && bytes[1] == 'A' && bytes[2] == 'G';
}

Id3v1Fields ParseId3v1(std::span<const std::uint8_t, kId3v1Size> raw, std::string_view codePage) {
    Id3v1Fields fields;
    fields.title = ReadText(raw, kTitle, kTextWidth, codePage);
    fields.artist = ReadText(raw, kArtist, kTextWidth, codePage);
    fields.album = ReadText(raw, kAlbum, kTextWidth, codePage);
    fields.year = ReadText(raw, kYear, kYearWidth, codePage);
    if (raw[kTrackMarker] != 0) {
        fields.comment = ReadText(raw, kComment, kTextWidth, codePage);
        fields.track = 0;
    } else {
        // ID3v1.1: a zero byte before the last comment byte marks it as the track number.
        fields.comment = ReadText(raw, kComment, kShortComment, codePage);
        fields.track = raw[kTrack];
    }
    fields.genre = raw[kGenre];
    return fields;
}

void MakeId3v1(std::span<std::uint8_t, kId3v1Size> buffer, std::string_view title,
               std::string_view artist, std::string_view album, std::string_view year,
               std::string_view comment, int track, unsigned genre, std::string_view codePage) {
    std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
    std::memcpy(buffer.data(), "TAG", 3);
    PutText(buffer, kTitle, kTextWidth, title, codePage);
    PutText(buffer, kArtist, kTextWidth, artist, codePage);
    PutText(buffer, kAlbum, kTextWidth, album, codePage);
    PutText(buffer, kYear, kYearWidth, year, codePage);
    PutText(buffer, kComment, track != 0 ? kShortComment : kTextWidth, comment, codePage);
    if (track != 0)
        buffer[kTrack] = static_cast<std::uint8_t>(std::clamp(track, 0, 255));
    buffer[kGenre] = static_cast<std::uint8_t>(genre <= 254 ? genre : 255);
}

Id3v1Bytes MakeId3v1(const TagInfo& tags, std::string_view codePage) {
    Id3v1Bytes bytes{};
    MakeId3v1(bytes, tags.title, tags.artist, tags.album, tags.year, tags.comment,
              TrackNumber(tags.track), static_cast<unsigned>(GenreIndex(tags.genre)), codePage);
    return bytes;
}

int TrackNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 1'000'000L);
    }
    return static_cast<int>(value);
}

bool WriteId3v1(const std::filesystem::path& path, const TagInfo& tags, std::string_view codePage) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    off_t at = st.st_size;
    if (ok && st.st_size > static_cast<off_t>(kId3v1Size)) {
        // An existing tag is overwritten in place.
        std::uint8_t old[kId3v1Size];
        off_t tail = st.st_size - static_cast<off_t>(kId3v1Size);
        if (::pread(fd, old, kId3v1Size, tail) == static_cast<ssize_t>(kId3v1Size) &&
            IsId3v1(old)) {
            at = tail;
        }
    }
    if (ok) {
        Id3v1Bytes tag = MakeId3v1(tags, codePage);
        ok = WriteAll(fd, tag.data(), tag.size(), at);
    }
    return (::close(fd) == 0) && ok;
}

}  // namespace partita
