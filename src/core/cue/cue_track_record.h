#pragma once

#include <cstdint>
#include <string>

namespace partita {

// The program's own keys in a CUE sheet start with this: "REM @ALBUM", "REM @SELECTED"...
// Other programs skip them as comments.
inline constexpr const char* kCueKeyPrefix = "REM @";

// What one sheet says about the whole sheet (the lines before the first TRACK) or about one
// track. Texts are UTF-8, cut to the capacity of their field.
struct CueTrackRecord {
    // Which keys were read.
    enum Present : std::uint32_t {
        kTitle = 0x001,
        kPerformer = 0x002,
        kAlbum = 0x004,
        kYear = 0x008,
        kComment = 0x010,
        kTrack = 0x020,
        kGenre = 0x040,
        kFwOverlap = 0x080,
        kBwOverlap = 0x100,
        kSplitMode = 0x200,
        kSelected = 0x400,
    };
    // Capacities in characters.
    static constexpr std::size_t kTitleChars = 255;
    static constexpr std::size_t kPerformerChars = 255;
    static constexpr std::size_t kAlbumChars = 127;
    static constexpr std::size_t kYearChars = 15;
    static constexpr std::size_t kCommentChars = 255;
    static constexpr std::size_t kTrackChars = 15;
    static constexpr std::size_t kGenreChars = 15;

    std::string title;
    std::string performer;
    std::string album;
    std::string year;
    std::string comment;
    std::string track;  // the tag's track number text
    std::string genre;
    std::int32_t fwOverlapMs = 0;
    std::int32_t bwOverlapMs = 0;
    std::int32_t selected = 1;   // 1: the track takes part in the split
    std::int32_t splitMode = 0;  // 0 auto-detect, 1 fast, 2 frame
    std::string startText;       // first INDEX time, as list time text (H:MM:SS.fff / M:SS.fff)
    std::string endText;         // second INDEX time, or the first again
    std::uint32_t present = 0;
    int fileIndex = 0;             // the sheet's FILE above the track (CueSheet::AudioPaths)
    int indexLine = 0;             // the line of the INDEX that gave endText (1-based)
    bool indexUnreadable = false;  // an INDEX time of the track was not a time

    bool Has(Present bit) const { return (present & bit) != 0; }
};

}  // namespace partita
