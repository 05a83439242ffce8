#include "split/naming_rule.h"

#include <algorithm>
#include <vector>

#include "app/message_format.h"
#include "app/trim.h"

namespace partita {
namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The file name of a path: the text after its last folder separator.
std::string_view FileNameOf(std::string_view path) {
    auto cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// Replaces the characters a file or folder name cannot hold. Folder separators are replaced
// too: at this point they can only have come from a placeholder.
void ReplaceForbidden(std::string& text, bool keepColon) {
    for (char& c : text) {
        switch (c) {
            case '/':
            case '\\':
            case '*':
            case '?':
            case '"':
            case '<':
            case '>':
            case '|':
                c = '_';
                break;
            case ':':
                if (!keepColon)
                    c = '_';
                break;
            default:
                // Control characters (a NUL or a line end from a tag) make no name.
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    c = '_';
                break;
        }
    }
}

// The longest name a file system takes, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// Cuts UTF-8 text to at most `bytes` bytes, never inside a character.
void CutToBytes(std::string& text, std::size_t bytes) {
    if (text.size() <= bytes)
        return;
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
}

// Steps 1 and 2 of the expansion: placeholders of the tag columns, the file name and the
// sequence; a rule without any placeholder gets the sequence appended (names only).
std::string ExpandPlaceholders(const TagTemplates& tags, std::string_view rule,
                               std::string_view sourcePath, int c, bool isFolder,
                               std::string_view sequenceFormat) {
    std::string sequence = c >= 0 ? FormatSequence(sequenceFormat, c + 1) : std::string();
    std::string text(rule);
    if (text.find('%') != std::string::npos) {
        ReplaceAll(text, "%T", ExpandField(tags, c, kColTitle));
        ReplaceAll(text, "%A", ExpandField(tags, c, kColArtist));
        ReplaceAll(text, "%M", ExpandField(tags, c, kColAlbum));
        ReplaceAll(text, "%K", ExpandField(tags, c, kColTrackNumber));
        std::string_view name = FileNameOf(sourcePath);
        auto dot = name.rfind('.');
        ReplaceAll(text, "%F", name.substr(0, dot));
        ReplaceAll(text, "%S", sequence);
    } else if (!isFolder) {
        text += sequence;
    }
    return text;
}

}  // namespace

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty())
        return;
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

std::string SequenceFormat(int trackCount) {
    int width = 1;
    for (int n = trackCount; n >= 10; n /= 10)
        ++width;
    if (width < 2)
        return "%d";
    return FormatMessageText("%%0%dd", std::vector<MessageArg>{width});
}

std::string FormatSequence(std::string_view format, int number) {
    return FormatMessageText(format, std::vector<MessageArg>{number});
}

std::string ExpandField(const TagTemplates& tags, int c, int column) {
    const std::string* field = tags.Field(column);
    std::string text = field ? *field : std::string();
    ReplaceAll(text, "%S", FormatMessageText("%03d", std::vector<MessageArg>{c + 1}));
    if (text.find("%K") != std::string::npos) {
        ReplaceAll(
            text, "%K",
            column == kColTrackNumber ? std::string("0") : ExpandField(tags, c, kColTrackNumber));
    }
    if (text.find("%M") != std::string::npos) {
        bool remove = column == kColAlbum || column == kColTrackNumber;
        ReplaceAll(text, "%M", remove ? std::string() : ExpandField(tags, c, kColAlbum));
    }
    return text;
}

std::string ExpandName(const TagTemplates& tags, std::string_view rule, std::string_view sourcePath,
                       int c, bool isFolder, std::string_view sequenceFormat) {
    if (!isFolder) {
        std::string name(
            Trim(ExpandPlaceholders(tags, rule, sourcePath, c, false, sequenceFormat)));
        ReplaceForbidden(name, false);
        // A title "." or ".." would make a hidden file: leading dots become "_".
        for (char& ch : name) {
            if (ch != '.')
                break;
            ch = '_';
        }
        std::string_view file = FileNameOf(sourcePath);
        auto dot = file.rfind('.');
        std::string extension =
            dot != std::string_view::npos ? "." + std::string(file.substr(dot + 1)) : "";
        // A long title shortens the name before its extension.
        CutToBytes(name, kMaxNameBytes - std::min(extension.size(), kMaxNameBytes));
        return name + extension;
    }
    // A folder part: each level of the rule is expanded on its own, so the levels are the
    // rule's, never a tag's.
    std::string folder;
    std::size_t begin = 0;
    while (begin <= rule.size()) {
        std::size_t end = begin;
        while (end < rule.size() && !IsSeparator(rule[end]))
            ++end;
        std::string level(Trim(ExpandPlaceholders(tags, rule.substr(begin, end - begin), sourcePath,
                                                  c, true, sequenceFormat)));
        ReplaceForbidden(level, true);
        if (level == ".." || level == ".")
            level = "_";
        CutToBytes(level, kMaxNameBytes);
        if (!level.empty())
            folder += level + "/";
        begin = end + 1;
    }
    return folder;
}

RuleParts SplitRule(std::string_view rule) {
    auto cut = rule.find_last_of("/\\");
    if (cut == std::string_view::npos)
        return {{}, std::string(rule)};
    return {std::string(rule.substr(0, cut + 1)), std::string(rule.substr(cut + 1))};
}

std::string CombinePath(std::string_view folder, std::string_view name) {
    if (folder.empty())
        return std::string(name);
    if (IsSeparator(folder.back()))
        return std::string(folder) + std::string(name);
    return std::string(folder) + "/" + std::string(name);
}

}  // namespace partita
