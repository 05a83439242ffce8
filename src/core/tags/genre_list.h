#pragma once

#include <string>
#include <string_view>

namespace partita {

inline constexpr int kGenreCount = 148;
inline constexpr int kNoGenre = 255;

// The number of an ID3v1 genre name (letter case ignored), or 255 when it is not in the list.
int GenreIndex(std::string_view name);
// The name of a genre number 0..147; the empty text for any other number.
std::string GenreName(int number);

}  // namespace partita
