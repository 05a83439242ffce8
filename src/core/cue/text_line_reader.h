#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace partita {

// Reads a whole regular file of at most `maxBytes` bytes. A named pipe, a device or a folder
// fails at once (it is never waited on), as does a larger file.
bool ReadRegularFileBytes(const std::filesystem::path& path, std::uintmax_t maxBytes,
                          std::string& bytes);

// How the bytes of a text file were read.
enum class TextEncoding { Utf8Bom, Utf8, Utf16Le, Utf16Be, Legacy };

// Decodes the bytes of a CUE sheet or list file to UTF-8: UTF-8 after a UTF-8 byte order mark
// or when the bytes are valid UTF-8, UTF-16 after its byte order mark, else the legacy code page
// (sheets written on Chinese Windows are usually GBK).
std::string DecodeTextBytes(std::string_view bytes, std::string_view legacyCodePage,
                            TextEncoding* found = nullptr);

// The lines of a text file, read and decoded once. Each CR, each LF, and each CR LF or LF CR
// pair ends one line; line numbers start at 1 and count blank lines too. Lines are handed out
// without their ends and trimmed of leading and trailing blanks and tabs.
class TextLineReader {
  public:
    // Files larger than this are not text files of ours.
    static constexpr std::uintmax_t kMaxFileBytes = 16u << 20;

    // Reads and decodes the file; false when it cannot be opened or read.
    bool Open(const std::filesystem::path& path, std::string_view legacyCodePage);
    // Takes text that is already UTF-8.
    void SetText(std::string_view utf8);

    // Line `lineNumber`; false when the file has fewer lines.
    bool ReadTextLine(int lineNumber, std::string& line) const;
    // The line `counter` names, skipping blank lines; the counter ends one past the line
    // returned. False at the end of the file.
    bool ReadNextTextLine(int& counter, std::string& line) const;

    // Number of lines: every ended line, and a last one without an end when it holds text.
    int LineCount() const { return static_cast<int>(lines_.size()); }
    TextEncoding Encoding() const { return encoding_; }

  private:
    std::vector<std::string> lines_;
    TextEncoding encoding_ = TextEncoding::Utf8;
};

}  // namespace partita
