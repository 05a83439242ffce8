#pragma once

#include <filesystem>
#include <string>

#include "tags/tag_texts.h"

// The tags of outputs and sources that are not MPEG: WAV files (an ID3v2 chunk "id3 " and a
// RIFF INFO list) and Windows Media files (ASF attributes), through TagLib.

namespace partita {

// The values the writer stores, made from the seven texts: the texts, the genre's number in the
// ID3v1 list (199, not 255, for a name the list lacks) and year and track as integers (their
// leading digits; 0 when there are none).
struct NonMpegTagFields {
    std::string title;
    std::string artist;
    std::string album;
    std::string comment;
    std::string genre;
    int genreNumber = 199;
    unsigned year = 0;
    unsigned track = 0;
};
NonMpegTagFields MakeNonMpegTagFields(const TagTexts& texts);

// Reads the seven texts of a WAV or Windows Media file. Year and track are read as numbers
// (0 gives an empty text); a genre of the form "(17)" becomes its name. False when the file is
// neither or cannot be opened. An RF64 file reads as untagged.
bool ReadNonMpegTags(const std::filesystem::path& path, TagTexts& out);

// Writes the seven texts into a WAV file (both the ID3v2 chunk and the RIFF INFO list) or a
// Windows Media file (its attributes); empty texts remove their field. False when the file is
// neither (RF64 files are not written), cannot be opened or cannot be saved. The samples are
// not touched.
bool WriteNonMpegTags(const std::filesystem::path& path, const TagTexts& texts);

// The WMA tag list of a Windows Media file ("name=value" strings, each ended by a zero byte,
// the list by an empty string): its attributes plus "BITRATE=" with the bitrate in bit/s, in
// the form ParseWmaTags reads. Empty when the file cannot be read as ASF.
std::string ReadWmaTagList(const std::filesystem::path& path);

}  // namespace partita
