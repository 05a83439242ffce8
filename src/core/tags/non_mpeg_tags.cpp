#include "tags/non_mpeg_tags.h"

#include <taglib/asffile.h>
#include <taglib/wavfile.h>

#include <cctype>
#include <fstream>
#include <vector>

#include "audio/audio_type.h"
#include "tags/genre_list.h"
#include "tags/taglib_support.h"

namespace partita {
namespace {

using taglib_support::FromUtf8;
using taglib_support::ToUtf8;

// A number as its text's leading decimal digits read it; 0 when there are none.
unsigned LeadingNumber(const std::string& text) {
    unsigned value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        if (value < 100'000'000)
            value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

void SetFields(TagLib::Tag& tag, const NonMpegTagFields& fields) {
    tag.setTitle(FromUtf8(fields.title));
    tag.setArtist(FromUtf8(fields.artist));
    tag.setAlbum(FromUtf8(fields.album));
    tag.setComment(FromUtf8(fields.comment));
    tag.setGenre(FromUtf8(fields.genre));
    tag.setYear(fields.year);
    tag.setTrack(fields.track);
}

// Whether an ASF attribute name (letter case ignored) is one of the seven texts'.
bool IsWmaField(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* field : {"TITLE", "AUTHOR", "DESCRIPTION", "WM/ALBUMTITLE", "WM/YEAR",
                              "WM/TRACKNUMBER", "WM/TRACK", "WM/GENRE", "WM/GENREID"}) {
        if (name == field)
            return true;
    }
    return false;
}

// The RIFF form of a file: "WAVE" for a RIFF WAVE file, "RF64" for the 64-bit form, empty for
// anything else (TagLib's own check takes any four letters for a chunk name).
std::string RiffForm(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    char head[12] = {};
    if (!file.read(head, sizeof head))
        return {};
    std::string_view id(head, 4);
    std::string_view form(head + 8, 4);
    if (form != "WAVE")
        return {};
    if (id == "RIFF")
        return "WAVE";
    if (id == "RF64" || id == "BW64")
        return "RF64";
    return {};
}

std::optional<audio::AudioType> NonMpegKind(const std::filesystem::path& path) {
    auto type = audio::AudioTypeFromExtension(path);
    if (type == audio::AudioType::Wav || type == audio::AudioType::Wma)
        return type;
    return std::nullopt;
}

std::string AttributeText(const TagLib::ASF::Attribute& attribute) {
    switch (attribute.type()) {
        case TagLib::ASF::Attribute::UnicodeType:
            return ToUtf8(attribute.toString());
        case TagLib::ASF::Attribute::BoolType:
            return attribute.toBool() ? "1" : "0";
        case TagLib::ASF::Attribute::DWordType:
            return std::to_string(attribute.toUInt());
        case TagLib::ASF::Attribute::QWordType:
            return std::to_string(attribute.toULongLong());
        case TagLib::ASF::Attribute::WordType:
            return std::to_string(attribute.toUShort());
        default:
            return {};
    }
}

void AppendEntry(std::string& list, const std::string& name, std::string value) {
    // A zero byte inside a value would end the entry early: it cannot be part of it.
    std::erase(value, '\0');
    if (name.empty() || name.find('=') != std::string::npos || name.find('\0') != std::string::npos)
        return;
    list += name;
    list += '=';
    list += value;
    list += '\0';
}

}  // namespace

NonMpegTagFields MakeNonMpegTagFields(const TagTexts& texts) {
    NonMpegTagFields fields;
    fields.title = texts.title;
    fields.artist = texts.artist;
    fields.album = texts.album;
    fields.comment = texts.comment;
    fields.genre = texts.genre;
    int number = GenreIndex(texts.genre);
    fields.genreNumber = number == kNoGenre ? 199 : number;
    fields.year = LeadingNumber(texts.year);
    fields.track = LeadingNumber(texts.track);
    return fields;
}

bool ReadNonMpegTags(const std::filesystem::path& path, TagTexts& out) {
    out = {};
    auto kind = NonMpegKind(path);
    if (!kind)
        return false;
    taglib_support::InstallTextHandlers();
    if (*kind == audio::AudioType::Wav) {
        std::string form = RiffForm(path);
        if (form == "RF64")
            return true;  // the 64-bit form carries no tags of the kinds written here
        if (form.empty())
            return false;
        TagLib::RIFF::WAV::File file(path.c_str(), false);
        if (!file.isValid())
            return false;
        // Field by field: the ID3v2 chunk where it has the field, else the INFO list.
        TagTexts id3 = file.hasID3v2Tag() ? taglib_support::TextsOf(*file.ID3v2Tag()) : TagTexts{};
        TagTexts info = file.hasInfoTag() ? taglib_support::TextsOf(*file.InfoTag()) : TagTexts{};
        for (auto member : {&TagTexts::title, &TagTexts::artist, &TagTexts::album, &TagTexts::year,
                            &TagTexts::comment, &TagTexts::track, &TagTexts::genre})
            out.*member = !(id3.*member).empty() ? id3.*member : info.*member;
        return true;
    }
    TagLib::ASF::File file(path.c_str(), false);
    if (!file.isValid())
        return false;
    if (TagLib::Tag* tag = file.tag())
        out = taglib_support::TextsOf(*tag);
    return true;
}

bool WriteNonMpegTags(const std::filesystem::path& path, const TagTexts& texts) {
    auto kind = NonMpegKind(path);
    if (!kind)
        return false;
    NonMpegTagFields fields = MakeNonMpegTagFields(texts);
    taglib_support::InstallTextHandlers();
    if (*kind == audio::AudioType::Wav) {
        if (RiffForm(path) != "WAVE")
            return false;
        TagLib::RIFF::WAV::File file(path.c_str(), false);
        if (!file.isValid() || file.readOnly())
            return false;
        // Both kinds at once: an ID3v2.3 chunk ("id3 ", read by most players) and a RIFF
        // INFO list (read by Windows).
        SetFields(*file.ID3v2Tag(), fields);
        SetFields(*file.InfoTag(), fields);
        return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers,
                         TagLib::ID3v2::v3);
    }
    TagLib::ASF::File file(path.c_str(), false);
    if (!file.isValid() || file.readOnly() || !file.tag())
        return false;
    // Other writers store some of these fields again as attributes under names of their own
    // letter case ("title"); such copies would hide the new texts from readers that take them.
    TagLib::ASF::Tag& tag = *file.tag();
    std::vector<TagLib::String> stale;
    for (const auto& [name, attributes] : tag.attributeListMap()) {
        if (IsWmaField(ToUtf8(name)))
            stale.push_back(name);
    }
    for (const TagLib::String& name : stale)
        tag.removeItem(name);
    SetFields(tag, fields);
    return file.save();
}

std::string ReadWmaTagList(const std::filesystem::path& path) {
    TagLib::ASF::File file(path.c_str(), true);
    std::string list;
    if (!file.isValid())
        return list;
    if (const TagLib::ASF::Tag* tag = file.tag()) {
        for (const auto& [name, attributes] : tag->attributeListMap()) {
            if (!attributes.isEmpty())
                AppendEntry(list, ToUtf8(name), AttributeText(attributes.front()));
        }
        // The content description's fields come last: a reader keeps the last value of a name,
        // and these are the standard place of the three texts.
        for (const auto& [name, text] :
             {std::pair{"Title", tag->title()}, std::pair{"Author", tag->artist()},
              std::pair{"Description", tag->comment()}}) {
            if (!text.isEmpty())
                AppendEntry(list, name, ToUtf8(text));
        }
    }
    if (const TagLib::ASF::Properties* properties = file.audioProperties())
        AppendEntry(list, "BITRATE", std::to_string(properties->bitrate() * 1000));
    return list;  // ended by the empty string: the end of the text
}

}  // namespace partita
