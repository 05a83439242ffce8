#pragma once

#include <map>
#include <string>
#include <string_view>

#include "app/messages.h"

namespace partita {

enum class Language { Chinese, English };

// The numbered user-interface texts in one language, loaded from the resource files under
// res/strings (one "NUMBER<TAB>TEXT" line each, with \r \n \t \\ escapes).
class StringTable {
  public:
    static const StringTable& For(Language language);

    // The text of a number; a number the table lacks gives "#NUMBER" so a gap shows, never
    // crashes.
    std::string Get(int id) const;
    std::string Get(Msg id) const { return Get(static_cast<int>(id)); }
    bool Has(int id) const { return texts_.count(id) != 0; }
    const std::map<int, std::string>& Texts() const { return texts_; }

    // Parses a resource; lines that are not of the form are ignored.
    static StringTable Parse(std::string_view resource);

  private:
    std::map<int, std::string> texts_;
};

// The language of the texts: setting "Language" ("zh_CN" or "en") when set, else the locale
// (names starting with "zh" give Chinese, anything else English).
Language ResolveLanguage(std::string_view setting, std::string_view localeName);
// Reads a language name such as "zh_CN", "zh" or "en"; false for any other name.
bool LanguageFromName(std::string_view name, Language& out);

// The table of the program's current language (Chinese until set).
const StringTable& CurrentStrings();
void SetCurrentLanguage(Language language);
Language CurrentLanguage();

}  // namespace partita
