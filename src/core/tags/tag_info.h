#pragma once

#include <string>

namespace partita {

// The tag texts handed to every tag writer (UTF-8), with the two switches that decide which
// tags a writer of a whole file puts in.
struct TagInfo {
    bool writeId3v1 = false;
    bool writeId3v2 = false;
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::string track;  // as typed, e.g. "3" or "03/12"
    std::string genre;  // the genre's name
};

}  // namespace partita
