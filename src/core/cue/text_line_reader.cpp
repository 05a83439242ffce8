#include "cue/text_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/code_page.h"
#include "app/trim.h"

namespace partita {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool ReadRegularFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes,
                          std::string& bytes) {
    bytes.clear();
    // Non-blocking, so a named pipe fails the check below instead of waiting for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<std::uintmax_t>(st.st_size) <= maxBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ok = done == bytes.size();
    }
    ::close(fd);
    return ok;
}

std::string DecodeTextBytes(std::string_view bytes, std::string_view legacyCodePage,
                            TextEncoding* found) {
    TextEncoding encoding;
    std::string text;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        encoding = TextEncoding::Utf8Bom;
        text = std::string(bytes.substr(3));
    } else if (StartsWith(bytes, "\xFF\xFE")) {
        encoding = TextEncoding::Utf16Le;
        text = LegacyToUtf8(bytes.substr(2), "UTF-16LE");
    } else if (StartsWith(bytes, "\xFE\xFF")) {
        encoding = TextEncoding::Utf16Be;
        text = LegacyToUtf8(bytes.substr(2), "UTF-16BE");
    } else if (IsValidUtf8(bytes)) {
        encoding = TextEncoding::Utf8;
        text = std::string(bytes);
    } else {
        encoding = TextEncoding::Legacy;
        text = LegacyToUtf8(bytes, legacyCodePage);
    }
    if (found)
        *found = encoding;
    return text;
}

bool TextLineReader::Open(const std::filesystem::path& path, std::string_view legacyCodePage) {
    lines_.clear();
    std::string bytes;
    if (!ReadRegularFileBytes(path, kMaxFileBytes, bytes))
        return false;
    SetText(DecodeTextBytes(bytes, legacyCodePage, &encoding_));
    return true;
}

void TextLineReader::SetText(std::string_view text) {
    lines_.clear();
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines_.emplace_back(Trim(text.substr(start, i - start), kSpacesAndTabs));
        // A CR LF or LF CR pair is one line end; CR CR or LF LF are two.
        if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') &&
            text[i + 1] != c) {
            ++i;
        }
        start = ++i;
    }
    std::string_view rest = Trim(text.substr(start), kSpacesAndTabs);
    if (!rest.empty())
        lines_.emplace_back(rest);
}

bool TextLineReader::ReadTextLine(int lineNumber, std::string& line) const {
    if (lineNumber < 1 || lineNumber > LineCount())
        return false;
    line = lines_[static_cast<std::size_t>(lineNumber - 1)];
    return true;
}

bool TextLineReader::ReadNextTextLine(int& counter, std::string& line) const {
    if (counter < 1)
        counter = 1;
    while (counter <= LineCount()) {
        const std::string& candidate = lines_[static_cast<std::size_t>(counter - 1)];
        ++counter;
        if (!candidate.empty()) {
            line = candidate;
            return true;
        }
    }
    return false;
}

}  // namespace partita
