#include "app/string_table.h"

#include <atomic>
#include <charconv>

namespace partita {
namespace embedded {
extern const std::string_view strings_zh_CN;
extern const std::string_view strings_en;
}  // namespace embedded

namespace {

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case '\\':
                out += '\\';
                break;
            default:  // an unknown escape stands for itself
                out += '\\';
                out += text[i];
        }
    }
    return out;
}

std::atomic<Language> g_language{Language::Chinese};

}  // namespace

StringTable StringTable::Parse(std::string_view resource) {
    StringTable table;
    while (!resource.empty()) {
        auto eol = resource.find('\n');
        std::string_view line = resource.substr(0, eol);
        resource = eol == std::string_view::npos ? std::string_view{} : resource.substr(eol + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        auto tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        int id = 0;
        auto [end, ec] = std::from_chars(line.data(), line.data() + tab, id);
        if (ec != std::errc() || end != line.data() + tab)
            continue;
        table.texts_[id] = Unescape(line.substr(tab + 1));
    }
    return table;
}

const StringTable& StringTable::For(Language language) {
    static const StringTable chinese = Parse(embedded::strings_zh_CN);
    static const StringTable english = Parse(embedded::strings_en);
    return language == Language::Chinese ? chinese : english;
}

std::string StringTable::Get(int id) const {
    auto it = texts_.find(id);
    return it != texts_.end() ? it->second : "#" + std::to_string(id);
}

bool LanguageFromName(std::string_view name, Language& out) {
    if (name.rfind("zh", 0) == 0) {
        out = Language::Chinese;
        return true;
    }
    if (name.rfind("en", 0) == 0) {
        out = Language::English;
        return true;
    }
    return false;
}

Language ResolveLanguage(std::string_view setting, std::string_view localeName) {
    Language language;
    if (LanguageFromName(setting, language))
        return language;
    return localeName.rfind("zh", 0) == 0 ? Language::Chinese : Language::English;
}

const StringTable& CurrentStrings() {
    return StringTable::For(g_language.load());
}
void SetCurrentLanguage(Language language) {
    g_language.store(language);
}
Language CurrentLanguage() {
    return g_language.load();
}

}  // namespace partita
