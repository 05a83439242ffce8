#include "tags/id3v2.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <string>

#include "app/code_page.h"
#include "app/output_file.h"

namespace partita {
namespace {

constexpr std::size_t kFrameHeaderSize = 10;
constexpr std::size_t kCopyChunk = 10'000'000;

void PutBigEndian32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value >> 24);
    out[at + 1] = static_cast<std::uint8_t>(value >> 16);
    out[at + 2] = static_cast<std::uint8_t>(value >> 8);
    out[at + 3] = static_cast<std::uint8_t>(value);
}

// Appends UTF-16LE with its byte order mark; malformed UTF-8 becomes U+FFFD.
void AppendUtf16(std::vector<std::uint8_t>& out, std::string_view utf8) {
    auto unit = [&out](char16_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    unit(0xFEFF);
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        std::size_t n = c < 0x80           ? 1
                        : (c >> 5) == 0x6  ? 2
                        : (c >> 4) == 0xE  ? 3
                        : (c >> 3) == 0x1E ? 4
                                           : 0;
        char32_t cp = 0xFFFD;
        if (n != 0 && i + n <= utf8.size() && IsValidUtf8(utf8.substr(i, n))) {
            cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
            for (std::size_t k = 1; k < n; ++k)
                cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        } else {
            n = 1;
        }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(cp));
        }
    }
}

// The encoded text of a frame: ISO-8859-1 bytes when possible, else UTF-16 with a mark.
struct EncodedText {
    std::uint8_t encoding;
    std::vector<std::uint8_t> bytes;
};

EncodedText Encode(std::string_view text) {
    EncodedText encoded;
    if (IsLatin1(text)) {
        encoded.encoding = 0;
        std::string latin1 = Utf8ToLegacy(text, "ISO-8859-1");
        encoded.bytes.assign(latin1.begin(), latin1.end());
    } else {
        encoded.encoding = 1;
        AppendUtf16(encoded.bytes, text);
    }
    return encoded;
}

bool ReadAll(int fd, std::uint8_t* data, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, data + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Closes a descriptor on every path.
struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0)
            ::close(fd);
    }
};

}  // namespace

std::size_t MakeId3v2Frame(std::vector<std::uint8_t>& out, std::string_view id,
                           std::string_view text) {
    const bool comment = id == "COMM";
    EncodedText encoded = Encode(text);
    const std::size_t start = out.size();
    out.insert(out.end(), id.begin(), id.end());
    out.resize(start + kFrameHeaderSize, 0);  // size (patched below) and two flag bytes
    out.push_back(encoded.encoding);
    if (comment) {
        // "XXX": the language is not known (a field of three letters that readers check).
        out.insert(out.end(), {'X', 'X', 'X'});
        // The empty short description, terminated in the frame's encoding.
        if (encoded.encoding == 0) {
            out.push_back(0);
        } else {
            out.insert(out.end(), {0xFF, 0xFE, 0, 0});
        }
    }
    out.insert(out.end(), encoded.bytes.begin(), encoded.bytes.end());
    const std::size_t length = out.size() - start;
    PutBigEndian32(out, start + 4, static_cast<std::uint32_t>(length - kFrameHeaderSize));
    return length;
}

namespace {

std::uint32_t ReadSize(std::span<const std::uint8_t> at, bool synchsafe) {
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size = synchsafe ? (size << 7) | (at[i] & 0x7F) : (size << 8) | at[i];
    return size;
}

// A picture or lyrics frame's body with its UTF-8 texts (encoding 3, which v2.3 lacks) in
// UTF-16; empty when it is malformed. `head` is the length of the fields before the
// description (APIC: encoding, MIME type, picture type; USLT: encoding, language).
std::vector<std::uint8_t> Utf8BodyAsUtf16(std::span<const std::uint8_t> body, bool lyrics) {
    std::size_t head = 4;
    if (!lyrics) {
        auto mimeEnd = std::find(body.begin() + 1, body.end(), 0);
        if (mimeEnd == body.end())
            return {};
        head = static_cast<std::size_t>(mimeEnd - body.begin()) + 2;
    }
    if (head > body.size())
        return {};
    auto descriptionEnd =
        std::find(body.begin() + static_cast<std::ptrdiff_t>(head), body.end(), 0);
    if (descriptionEnd == body.end())
        return {};
    auto text = [](auto from, auto to) {
        return std::string_view(reinterpret_cast<const char*>(&*from),
                                static_cast<std::size_t>(to - from));
    };
    std::vector<std::uint8_t> out(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(head));
    out[0] = 1;
    AppendUtf16(out, text(body.begin() + static_cast<std::ptrdiff_t>(head), descriptionEnd));
    out.insert(out.end(), {0, 0});
    if (lyrics)
        AppendUtf16(out, text(descriptionEnd + 1, body.end()));
    else
        out.insert(out.end(), descriptionEnd + 1, body.end());
    return out;
}

}  // namespace

std::vector<std::uint8_t> KeptId3v2Frames(std::span<const std::uint8_t> tag) {
    std::vector<std::uint8_t> kept;
    if (tag.size() < kId3v2HeaderSize || (tag[3] != 3 && tag[3] != 4) || (tag[5] & 0x80) != 0)
        return kept;  // another version, or a tag unsynchronised as a whole
    const bool v4 = tag[3] == 4;
    std::size_t pos = kId3v2HeaderSize;
    if ((tag[5] & 0x40) != 0 && tag.size() >= pos + 4) {
        std::uint32_t extended = ReadSize(tag.subspan(pos, 4), v4);
        pos += v4 ? extended : extended + 4;
    }
    while (pos + kFrameHeaderSize <= tag.size() && tag[pos] != 0) {
        std::string_view id(reinterpret_cast<const char*>(&tag[pos]), 4);
        std::uint32_t size = ReadSize(tag.subspan(pos + 4, 4), v4);
        std::uint8_t format = tag[pos + 9];
        std::size_t body = pos + kFrameHeaderSize;
        if (size > tag.size() - body)
            break;
        pos = body + size;
        const bool lyrics = id == "USLT";
        if ((id != "APIC" && !lyrics) || size < 2 || (format & (v4 ? 0x4F : 0xE0)) != 0)
            continue;
        std::span<const std::uint8_t> content = tag.subspan(body, size);
        std::vector<std::uint8_t> converted;
        if (content[0] == 3) {
            converted = Utf8BodyAsUtf16(content, lyrics);
            if (converted.empty())
                continue;
            content = converted;
        } else if (content[0] > 3) {
            continue;
        }
        const std::size_t start = kept.size();
        kept.insert(kept.end(), id.begin(), id.end());
        kept.resize(start + kFrameHeaderSize, 0);
        PutBigEndian32(kept, start + 4, static_cast<std::uint32_t>(content.size()));
        kept.insert(kept.end(), content.begin(), content.end());
    }
    return kept;
}

std::vector<std::uint8_t> MakeId3v2Tag(const TagInfo& tags,
                                       std::span<const std::uint8_t> extraFrames) {
    std::vector<std::uint8_t> tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0};
    MakeId3v2Frame(tag, "TIT2", tags.title);
    MakeId3v2Frame(tag, "TPE1", tags.artist);
    MakeId3v2Frame(tag, "TALB", tags.album);
    MakeId3v2Frame(tag, "TRCK", tags.track);
    MakeId3v2Frame(tag, "TYER", tags.year);
    MakeId3v2Frame(tag, "TCON", tags.genre);
    MakeId3v2Frame(tag, "COMM", tags.comment);
    for (const char* id : {"TCOM", "WXXX", "TENC", "TCOP", "TOPE"})
        MakeId3v2Frame(tag, id, "");
    tag.insert(tag.end(), extraFrames.begin(), extraFrames.end());
    tag.resize(tag.size() + kId3v2Padding, 0);
    // The size of everything after the header, seven bits per byte.
    const std::size_t size = tag.size() - kId3v2HeaderSize;
    for (int i = 0; i < 4; ++i)
        tag[6 + i] = static_cast<std::uint8_t>((size >> (7 * (3 - i))) & 0x7F);
    return tag;
}

std::uint32_t Id3v2TagSize(std::span<const std::uint8_t> head, std::uint64_t fileLength) {
    if (head.size() < kId3v2HeaderSize || head[0] != 'I' || head[1] != 'D' || head[2] != '3')
        return 0;
    if (head[3] != 3 && head[3] != 4)
        return 0;
    // Four size bytes of seven bits each, most significant first.
    const std::uint32_t size = (std::uint32_t{head[6]} << 21) | (std::uint32_t{head[7]} << 14) |
                               (std::uint32_t{head[8]} << 7) | std::uint32_t{head[9]};
    const std::uint32_t total = size + static_cast<std::uint32_t>(kId3v2HeaderSize);
    return fileLength >= total ? total : 0;
}

std::uint32_t GetId3v2Size(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    FdCloser closer{fd};
    struct stat st {};
    std::array<std::uint8_t, kId3v2HeaderSize> head{};
    std::size_t got = 0;
    if (::fstat(fd, &st) != 0 || !ReadAll(fd, head.data(), head.size(), got))
        return 0;
    return Id3v2TagSize(std::span(head.data(), got), static_cast<std::uint64_t>(st.st_size));
}

bool WriteId3v2(const std::filesystem::path& path, const TagInfo& tags,
                std::span<const std::uint8_t> extraFrames) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    FdCloser closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;

    std::array<std::uint8_t, kId3v2HeaderSize> head{};
    std::size_t got = 0;
    if (!ReadAll(fd, head.data(), head.size(), got))
        return false;
    const std::uint32_t oldTag =
        Id3v2TagSize(std::span(head.data(), got), static_cast<std::uint64_t>(st.st_size));
    if (::lseek(fd, static_cast<off_t>(oldTag), SEEK_SET) < 0)
        return false;

    OutputFile out;
    if (!out.Open(path))
        return false;
    // The new file keeps the permissions of the old one.
    ::fchmod(::fileno(out.Stream()), st.st_mode & 07777);

    std::vector<std::uint8_t> tag = MakeId3v2Tag(tags, extraFrames);
    if (!out.Write(tag.data(), tag.size()))
        return false;
    std::vector<std::uint8_t> buffer(kCopyChunk);
    for (;;) {
        if (!ReadAll(fd, buffer.data(), buffer.size(), got))
            return false;  // the temporary file is removed, the file stays as it was
        if (!out.Write(buffer.data(), got))
            return false;
        if (got < buffer.size())
            break;
    }
    return out.Commit();
}

}  // namespace partita
