#include "tags/tag_reader.h"

#include <taglib/aifffile.h>
#include <taglib/fileref.h>
#include <taglib/mpegfile.h>
#include <taglib/vorbisfile.h>

#include <memory>

#include "app/setting_values.h"
#include "audio/audio_type.h"
#include "tags/non_mpeg_tags.h"
#include "tags/taglib_support.h"

namespace partita {
namespace {

// The TagLib reader for a file of a type: MPEG files by their frames whatever their name
// (".mp1", ".mpa"), AIFF and Ogg Vorbis by their own readers, anything else as TagLib
// recognises it.
TagLib::FileRef OpenForTags(const std::filesystem::path& path, audio::AudioType type) {
    TagLib::File* file = nullptr;
    switch (type) {
        case audio::AudioType::Mpeg:
            file = new TagLib::MPEG::File(path.c_str(), false);
            break;
        case audio::AudioType::Aiff:
            file = new TagLib::RIFF::AIFF::File(path.c_str(), false);
            break;
        case audio::AudioType::Ogg:
            file = new TagLib::Ogg::Vorbis::File(path.c_str(), false);
            break;
        default:
            break;
    }
    if (file && file->isValid())
        return TagLib::FileRef(file);  // takes ownership
    delete file;
    return TagLib::FileRef(path.c_str(), false);
}

}  // namespace

bool ReadTags(const std::filesystem::path& path, std::string_view legacyCodePage, TagTexts& out) {
    out = {};
    taglib_support::ScopedLegacyCodePage codePage(legacyCodePage);
    audio::AudioType type = audio::ClassifyAudioFile(path);
    if (type == audio::AudioType::Wav || type == audio::AudioType::Wma) {
        if (audio::AudioTypeFromExtension(path))
            return ReadNonMpegTags(path, out);
        // A WAV or WMA file under another name: TagLib finds its reader by content.
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    TagLib::FileRef file = OpenForTags(path, type);
    if (file.isNull() || !file.tag())
        return false;
    out = taglib_support::TextsOf(*file.tag());
    return true;
}

bool ReadTags(const std::filesystem::path& path, SettingsStore& settings, TagTexts& out) {
    return ReadTags(path, settings::LegacyCodePage.Read(settings), out);
}

}  // namespace partita
