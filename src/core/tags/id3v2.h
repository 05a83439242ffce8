#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "tags/tag_info.h"

namespace partita {

// ID3v2.3 tags as this program writes them: a 10-byte header ("ID3", 3, 0, flags 0, size of
// the rest in four 7-bit groups), twelve frames always present and in this order — TIT2 title,
// TPE1 artist, TALB album, TRCK track, TYER year, TCON genre name, COMM comment, then TCOM,
// WXXX, TENC, TCOP and TOPE with empty texts — and 966 zero bytes of padding.
//
// A frame: 4-byte id, 4-byte big-endian size of the content, 2 flag bytes 0, the content.
// Text content: encoding byte, then the text without terminator. COMM content: encoding
// byte, language "dou", an empty description, then the comment. The encoding is 0
// (ISO-8859-1) when the text has only ISO-8859-1 characters, else 1 (UTF-16 with byte order
// mark, every string of the frame with its own mark).
inline constexpr std::size_t kId3v2HeaderSize = 10;
inline constexpr std::size_t kId3v2Padding = 966;

// Appends one frame for `text` (UTF-8) to `out`; returns the frame's length in bytes.
std::size_t MakeId3v2Frame(std::vector<std::uint8_t>& out, std::string_view id,
                           std::string_view text);

// The frames of a source's ID3v2.3 or v2.4 tag (`tag`: the whole tag, header first) that the
// pieces cut from it keep: its pictures (APIC) and lyrics (USLT), as ID3v2.3 frames. UTF-8 texts
// of a v2.4 frame become UTF-16; compressed, encrypted or unsynchronised frames are left out.
std::vector<std::uint8_t> KeptId3v2Frames(std::span<const std::uint8_t> tag);

// The complete tag for a record (its two switches are not looked at). `extraFrames`, whole
// ID3v2.3 frames such as the chapter marks of MakeChapterFrames, go after the twelve frames.
std::vector<std::uint8_t> MakeId3v2Tag(const TagInfo& tags,
                                       std::span<const std::uint8_t> extraFrames = {});

// The length, header included, of the ID3v2.3 or ID3v2.4 tag whose first 10 bytes are
// `head`, in a file of `fileLength` bytes; 0 when it is no such tag or would not fit the file.
// ID3v2.2 tags and the v2.4 footer are not recognised.
std::uint32_t Id3v2TagSize(std::span<const std::uint8_t> head, std::uint64_t fileLength);
// The same for a file on disk; 0 when it cannot be read.
std::uint32_t GetId3v2Size(const std::filesystem::path& path);

// Puts a new ID3v2 tag (MakeId3v2Tag of the record and `extraFrames`) in front of the file's
// audio, dropping a leading ID3v2.3/2.4 tag.
// The new file is written completely under a unique temporary name in the same folder and then
// renamed over the file, so a failure at any point leaves the file as it was.
bool WriteId3v2(const std::filesystem::path& path, const TagInfo& tags,
                std::span<const std::uint8_t> extraFrames = {});

}  // namespace partita
