#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "tags/tag_info.h"

namespace partita {

// ID3v1 tag: the last 128 bytes of a file.
//   0 "TAG"   3 title (30)   33 artist (30)   63 album (30)   93 year (4)
//   97 comment (30) — or, in ID3v1.1, comment (28), a zero byte at 125 and the track at 126
//   127 genre number (255 = none)
// Texts are bytes of a legacy code page (setting "Legacy Code Page"), padded with zero bytes;
// a text that fills its field has no terminator.
inline constexpr std::size_t kId3v1Size = 128;
using Id3v1Bytes = std::array<std::uint8_t, kId3v1Size>;

struct Id3v1Fields {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    int track = 0;    // 0 when the tag has none
    int genre = 255;  // 255 when the tag has none

    bool operator==(const Id3v1Fields&) const = default;
};

// Whether the bytes are an ID3v1 tag (128 bytes beginning with "TAG").
bool IsId3v1(std::span<const std::uint8_t> bytes);

// Reads the texts (each up to its first zero byte, trailing white space removed) and numbers of
// a tag whose "TAG" prefix the caller has checked.
Id3v1Fields ParseId3v1(std::span<const std::uint8_t, kId3v1Size> raw, std::string_view codePage);

// Builds a tag. Texts are converted to the code page ("?" for a character it lacks) and cut to
// their field without splitting a character. A track other than 0 makes an ID3v1.1 tag (track
// clamped to 0..255); a genre above 254 is stored as 255.
void MakeId3v1(std::span<std::uint8_t, kId3v1Size> buffer, std::string_view title,
               std::string_view artist, std::string_view album, std::string_view year,
               std::string_view comment, int track, unsigned genre, std::string_view codePage);
// The tag of a record: track from the leading digits of its text, genre by its name.
Id3v1Bytes MakeId3v1(const TagInfo& tags, std::string_view codePage);

// The number a track text starts with ("03/12" gives 3); 0 when it starts with no digit.
int TrackNumber(std::string_view text);

// Overwrites the file's ID3v1 tag, or appends one when it has none (the record's two switches
// are the caller's business). False when the file cannot be opened or written.
bool WriteId3v1(const std::filesystem::path& path, const TagInfo& tags, std::string_view codePage);

}  // namespace partita
