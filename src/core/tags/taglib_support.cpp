#include "tags/taglib_support.h"

#include <taglib/id3v1tag.h>
#include <taglib/infotag.h>

#include <cctype>
#include <mutex>

#include "app/code_page.h"
#include "tags/genre_list.h"

namespace partita::taglib_support {
namespace {

// The code page of the reading in progress on this thread.
thread_local std::string legacyCodePage = "ISO-8859-1";

// A text field of fixed width: it ends at the first zero byte.
std::string_view UpToNul(const TagLib::ByteVector& data) {
    std::string_view bytes(data.data(), data.size());
    return bytes.substr(0, bytes.find('\0'));
}

class Id3v1Texts : public TagLib::ID3v1::StringHandler {
  public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        return FromUtf8(LegacyToUtf8(UpToNul(data), legacyCodePage)).stripWhiteSpace();
    }
};

class InfoTexts : public TagLib::RIFF::Info::StringHandler {
  public:
    TagLib::String parse(const TagLib::ByteVector& data) const override {
        std::string_view bytes = UpToNul(data);
        if (IsValidUtf8(bytes))
            return FromUtf8(bytes);
        return FromUtf8(LegacyToUtf8(bytes, legacyCodePage));
    }
};

}  // namespace

// TagLib keeps one handler per tag kind for the whole process; ours read the thread's code page.
void InstallTextHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        static const Id3v1Texts id3v1;
        static const InfoTexts info;
        TagLib::ID3v1::Tag::setStringHandler(&id3v1);
        TagLib::RIFF::Info::Tag::setStringHandler(&info);
    });
}

std::string ToUtf8(const TagLib::String& text) {
    return text.to8Bit(true);
}

TagLib::String FromUtf8(std::string_view text) {
    return TagLib::String(std::string(text), TagLib::String::UTF8);
}

std::string GenreText(const std::string& genre) {
    if (genre.size() >= 3 && genre.size() <= 12 && genre.front() == '(' && genre.back() == ')') {
        int number = 0;
        for (std::size_t i = 1; i + 1 < genre.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(genre[i])))
                return genre;
            number = number * 10 + (genre[i] - '0');
        }
        return GenreName(number);
    }
    return genre;
}

TagTexts TextsOf(const TagLib::Tag& tag) {
    TagTexts texts;
    texts.title = ToUtf8(tag.title());
    texts.artist = ToUtf8(tag.artist());
    texts.album = ToUtf8(tag.album());
    texts.year = tag.year() ? std::to_string(tag.year()) : std::string();
    texts.comment = ToUtf8(tag.comment());
    texts.track = tag.track() ? std::to_string(tag.track()) : std::string();
    texts.genre = GenreText(ToUtf8(tag.genre()));
    return texts;
}

ScopedLegacyCodePage::ScopedLegacyCodePage(std::string_view codePage) : previous_(legacyCodePage) {
    InstallTextHandlers();
    legacyCodePage = codePage.empty() ? std::string("ISO-8859-1") : std::string(codePage);
}

ScopedLegacyCodePage::~ScopedLegacyCodePage() {
    legacyCodePage = previous_;
}

}  // namespace partita::taglib_support
