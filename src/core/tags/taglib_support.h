#pragma once

#include <taglib/tag.h>
#include <taglib/tstring.h>

#include <string>
#include <string_view>

#include "tags/tag_texts.h"

// What the tag readers and writers share on top of TagLib (internal to tags/).

namespace partita::taglib_support {

std::string ToUtf8(const TagLib::String& text);
TagLib::String FromUtf8(std::string_view text);

// A genre text as the lists show it: "(17)" becomes the name of genre 17.
std::string GenreText(const std::string& genre);

// The seven texts of a TagLib tag; year and track as numbers, 0 giving an empty text.
TagTexts TextsOf(const TagLib::Tag& tag);

// Puts the program's text handlers for ID3v1 and RIFF INFO texts in place (once per process).
void InstallTextHandlers();

// While an object lives, TagLib decodes on this thread ID3v1 texts with the legacy code page
// given, and RIFF INFO texts that are not valid UTF-8 likewise. Other threads and later reads
// are not affected.
class ScopedLegacyCodePage {
  public:
    explicit ScopedLegacyCodePage(std::string_view codePage);
    ~ScopedLegacyCodePage();
    ScopedLegacyCodePage(const ScopedLegacyCodePage&) = delete;
    ScopedLegacyCodePage& operator=(const ScopedLegacyCodePage&) = delete;

  private:
    std::string previous_;
};

}  // namespace partita::taglib_support
