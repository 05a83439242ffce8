#include "tags/genre_list.h"

#include <array>
#include <cctype>

namespace partita {
namespace {

// The ID3v1 genre list, numbers 0 to 147, with its traditional spellings.
constexpr std::array<std::string_view, kGenreCount> kGenres = {"Blues",
                                                               "Classic Rock",
                                                               "Country",
                                                               "Dance",
                                                               "Disco",
                                                               "Funk",
                                                               "Grunge",
                                                               "Hip-Hop",
                                                               "Jazz",
                                                               "Metal",
                                                               "New Age",
                                                               "Oldies",
                                                               "Other",
                                                               "Pop",
                                                               "R&B",
                                                               "Rap",
                                                               "Reggae",
                                                               "Rock",
                                                               "Techno",
                                                               "Industrial",
                                                               "Alternative",
                                                               "Ska",
                                                               "Death Metal",
                                                               "Pranks",
                                                               "Soundtrack",
                                                               "Euro-Techno",
                                                               "Ambient",
                                                               "Trip Hop",
                                                               "Vocal",
                                                               "Jazz Funk",
                                                               "Fusion",
                                                               "Trance",
                                                               "Classical",
                                                               "Instrumental",
                                                               "Acid",
                                                               "House",
                                                               "Game",
                                                               "Sound Clip",
                                                               "Gospel",
                                                               "Noise",
                                                               "Alternative Rock",
                                                               "Bass",
                                                               "Soul",
                                                               "Punk",
                                                               "Space",
                                                               "Meditative",
                                                               "Instrumental Pop",
                                                               "Instrumental Rock",
                                                               "Ethnic",
                                                               "Gothic",
                                                               "Darkwave",
                                                               "Techno-Industrial",
                                                               "Electronic",
                                                               "Pop Folk",
                                                               "Eurodance",
                                                               "Dream",
                                                               "Southern Rock",
                                                               "Comedy",
                                                               "Cult",
                                                               "Gangsta",
                                                               "Top 40",
                                                               "Christian Rap",
                                                               "Pop Funk",
                                                               "Jungle",
                                                               "Native American",
                                                               "Cabaret",
                                                               "New Wave",
                                                               "Psychadelic",
                                                               "Rave",
                                                               "ShowTunes",
                                                               "Trailer",
                                                               "Lo-Fi",
                                                               "Tribal",
                                                               "Acid Punk",
                                                               "Acid Jazz",
                                                               "Polka",
                                                               "Retro",
                                                               "Musical",
                                                               "Rock & Roll",
                                                               "Hard Rock",
                                                               "Folk",
                                                               "Folk Rock",
                                                               "National Folk",
                                                               "Swing",
                                                               "Fast Fusion",
                                                               "Bebob",
                                                               "Latin",
                                                               "Revival",
                                                               "Celtic",
                                                               "Bluegrass",
                                                               "Avantgarde",
                                                               "Gothic Rock",
                                                               "Progressive Rock",
                                                               "Psychedelic Rock",
                                                               "Symphonic Rock",
                                                               "Slow Rock",
                                                               "Big Band",
                                                               "Chorus",
                                                               "Easy Listening",
                                                               "Acoustic",
                                                               "Humour",
                                                               "Speech",
                                                               "Chanson",
                                                               "Opera",
                                                               "Chamber Music",
                                                               "Sonata",
                                                               "Symphony",
                                                               "Booty Bass",
                                                               "Primus",
                                                               "Porn Groove",
                                                               "Satire",
                                                               "Slow Jam",
                                                               "Club",
                                                               "Tango",
                                                               "Samba",
                                                               "Folklore",
                                                               "Ballad",
                                                               "Power Ballad",
                                                               "Rhytmic Soul",
                                                               "Freestyle",
                                                               "Duet",
                                                               "Punk Rock",
                                                               "Drum Solo",
                                                               "A Capella",
                                                               "Euro House",
                                                               "Dance Hall",
                                                               "Goa",
                                                               "Drum & Bass",
                                                               "Club House",
                                                               "Hardcore",
                                                               "Terror",
                                                               "Indie",
                                                               "BritPop",
                                                               "Negerpunk",
                                                               "Polsk Punk",
                                                               "Beat",
                                                               "Christian Gangsta Rap",
                                                               "Heavy Metal",
                                                               "Black Metal",
                                                               "Crossover",
                                                               "Contemporary Christian",
                                                               "Christian Rock",
                                                               "Merengue",
                                                               "Salsa",
                                                               "Trash Metal",
                                                               "Anime",
                                                               "JPop",
                                                               "SynthPop"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

int GenreIndex(std::string_view name) {
    for (std::size_t i = 0; i < kGenres.size(); ++i) {
        if (EqualsIgnoringCase(kGenres[i], name))
            return static_cast<int>(i);
    }
    return kNoGenre;
}

std::string GenreName(int number) {
    if (number < 0 || number >= kGenreCount)
        return {};
    return std::string(kGenres[static_cast<std::size_t>(number)]);
}

}  // namespace partita
