#pragma once

#include <string_view>

#include "tags/tag_texts.h"

namespace partita {

// Splits a WMA tag list into the seven texts, the bitrate and the VBR flag. The list is a
// sequence of zero-terminated "name=value" strings ended by an empty string (or the end of
// `list`). Names (letter case ignored) and values are trimmed of white space; recognised names:
// TITLE, AUTHOR, WM/ALBUMTITLE, WM/YEAR, DESCRIPTION, WM/TRACKNUMBER, WM/GENRE, ISVBR (VBR set
// when the value is not "0") and BITRATE (bits per second, stored as kbit/s, truncated). Parsing
// stops at the first string without "=". The texts start empty; `bitrateKbps` and `vbr` keep
// their values unless their names occur.
void ParseWmaTags(std::string_view list, TagTexts& texts, int& bitrateKbps, bool& vbr);

}  // namespace partita
