#pragma once

#include <string>

namespace partita {

// The seven tag texts the lists show and the tag dialogs copy, always in this order. UTF-8.
struct TagTexts {
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::string track;
    std::string genre;

    bool operator==(const TagTexts&) const = default;
    bool Empty() const {
        return title.empty() && artist.empty() && album.empty() && year.empty() &&
               comment.empty() && track.empty() && genre.empty();
    }
};

}  // namespace partita
