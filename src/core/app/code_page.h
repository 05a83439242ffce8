#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace partita {

// Conversions between UTF-8 (the text inside the program) and a legacy 8-bit or multi-byte
// code page such as "ISO-8859-1", "CP1252" or "GBK" (setting "Legacy Code Page"), for ID3v1
// texts, legacy CUE sheets and M3U files.

// Decodes bytes of `codePage`; bytes that are not valid there become U+FFFD. An unknown code
// page is read as ISO-8859-1.
std::string LegacyToUtf8(std::string_view bytes, std::string_view codePage);

// Encodes UTF-8 text in `codePage`; characters it cannot represent become "?". With `maxBytes`
// the result is cut to at most that many bytes, never in the middle of a character.
std::string Utf8ToLegacy(std::string_view text, std::string_view codePage,
                         std::size_t maxBytes = std::string::npos);

// The legacy code page of the user's locale (LC_ALL, LC_CTYPE or LANG): what Windows programs
// there write sheets, lists and ID3v1 tags in. GBK for Simplified Chinese, BIG5 for Traditional,
// CP932 for Japanese, CP949 for Korean, a Windows code page for Cyrillic, Central European,
// Greek, Turkish, Hebrew, Arabic and others; ISO-8859-1 when the locale says nothing.
std::string LocaleLegacyCodePage();

// Whether every character of the UTF-8 text exists in ISO-8859-1.
bool IsLatin1(std::string_view utf8);
// Whether the bytes are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

}  // namespace partita
