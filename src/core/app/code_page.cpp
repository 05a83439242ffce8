#include "app/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

namespace partita {
namespace {

// One iconv conversion, released on every path.
class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one complete piece; false when any byte of it did not convert.
    bool Convert(std::string_view in, std::string& out) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> buffer(in.size() * 4 + 16);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        std::size_t r = iconv(handle_, &src, &srcLeft, &dst, &dstLeft);
        if (r == static_cast<std::size_t>(-1) || srcLeft != 0)
            return false;
        std::size_t flushed = iconv(handle_, nullptr, nullptr, &dst, &dstLeft);
        if (flushed == static_cast<std::size_t>(-1))
            return false;
        out.append(buffer.data(), buffer.size() - dstLeft);
        return true;
    }

  private:
    iconv_t handle_;
};

// Length of the UTF-8 sequence starting at text[i]; 0 when it is not a valid sequence.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80           ? 1
                    : (c >> 5) == 0x6  ? 2
                    : (c >> 4) == 0xE  ? 3
                    : (c >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            return 0;
    }
    // Overlong forms and surrogates are not valid UTF-8.
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < n; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

char32_t DecodeAt(std::string_view text, std::size_t i, std::size_t n) {
    auto c = static_cast<unsigned char>(text[i]);
    char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; k < n; ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    return cp;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string LocaleLegacyCodePage() {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    auto is = [&](std::string_view prefix) { return locale.rfind(prefix, 0) == 0; };
    if (is("zh_TW") || is("zh_HK") || is("zh_MO"))
        return "BIG5";
    static constexpr std::pair<std::string_view, std::string_view> kByLanguage[] = {
        {"zh", "GBK"},    {"ja", "CP932"},  {"ko", "CP949"},  {"ru", "CP1251"}, {"uk", "CP1251"},
        {"be", "CP1251"}, {"bg", "CP1251"}, {"sr", "CP1251"}, {"mk", "CP1251"}, {"pl", "CP1250"},
        {"cs", "CP1250"}, {"sk", "CP1250"}, {"hu", "CP1250"}, {"hr", "CP1250"}, {"sl", "CP1250"},
        {"ro", "CP1250"}, {"el", "CP1253"}, {"tr", "CP1254"}, {"he", "CP1255"}, {"ar", "CP1256"},
        {"fa", "CP1256"}, {"lt", "CP1257"}, {"lv", "CP1257"}, {"et", "CP1257"}, {"vi", "CP1258"},
        {"th", "CP874"},
    };
    for (auto [language, codePage] : kByLanguage) {
        if (is(language) && (locale.size() == 2 || locale[2] == '_' || locale[2] == '.'))
            return std::string(codePage);
    }
    return "ISO-8859-1";
}

bool IsLatin1(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t n = Utf8SequenceLength(utf8, i);
        if (n == 0 || DecodeAt(utf8, i, n) > 0xFF)
            return false;
        i += n;
    }
    return true;
}

std::string LegacyToUtf8(std::string_view bytes, std::string_view codePage) {
    std::string name(codePage);
    Converter converter("UTF-8", name.c_str());
    if (!converter.ok())
        return Latin1ToUtf8(bytes);
    std::string out;
    if (converter.Convert(bytes, out))
        return out;
    // Convert piece by piece so one bad byte costs one replacement character, not the text.
    out.clear();
    for (std::size_t i = 0; i < bytes.size();) {
        bool done = false;
        for (std::size_t len = 1; len <= 4 && i + len <= bytes.size() && !done; ++len) {
            std::string piece;
            if (converter.Convert(bytes.substr(i, len), piece)) {
                out += piece;
                i += len;
                done = true;
            }
        }
        if (!done) {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::string Utf8ToLegacy(std::string_view text, std::string_view codePage, std::size_t maxBytes) {
    std::string name(codePage);
    Converter converter(name.c_str(), "UTF-8");
    Converter latin1("ISO-8859-1", "UTF-8");
    Converter& use = converter.ok() ? converter : latin1;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = Utf8SequenceLength(text, i);
        std::string piece;
        if (n == 0 || !use.Convert(text.substr(i, n), piece))
            piece = "?";
        if (n == 0)
            n = 1;
        if (maxBytes != std::string::npos && out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        i += n;
    }
    return out;
}

}  // namespace partita
