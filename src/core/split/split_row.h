#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace partita {

// What a row of the split list stands for; its depth in the tree follows from it.
enum class SplitNodeKind : int { Group = 0, Source = 1, Track = 2 };

// The columns of the split list. Every value is held as the text the list shows.
enum SplitColumn : int {
    kColTrack = 0,          // group name / source file name / "start-end"
    kColLength = 1,         // source duration / track length
    kColTitle = 2,          // title template
    kColMode = 3,           // split mode text (source rows only)
    kColBackOverlap = 4,    // time taken before a track's start
    kColFwdOverlap = 5,     // time taken after a track's end
    kColArtist = 6,         // artist template
    kColAlbum = 7,          // album template
    kColGenre = 8,          // genre name, used literally
    kColYear = 9,           // year, used literally
    kColTrackNumber = 10,   // track number template
    kColComment = 11,       // comment template
    kColPath = 12,          // source folder, ending in a separator
    kSplitColumnCount = 13  //
};

// One row of the split list: the item text (column 0), the sub-item texts (columns 1 to 12),
// whether it takes part in a split, and its kind.
struct SplitRow {
    std::string itemText;
    std::array<std::string, kSplitColumnCount - 1> subItems;
    int selected = 1;
    SplitNodeKind kind = SplitNodeKind::Group;

    const std::string& Text(int column) const {
        return column == 0 ? itemText : subItems.at(static_cast<std::size_t>(column - 1));
    }
    void SetText(int column, std::string text) {
        if (column == 0) {
            itemText = std::move(text);
        } else {
            subItems.at(static_cast<std::size_t>(column - 1)) = std::move(text);
        }
    }
};

// How the times of a source are mapped to bytes: by the bitrate (fast), frame by frame (frame),
// or frame by frame only for sources with a VBR header (auto).
enum class SplitMode : int { Auto = 0, Fast = 1, Frame = 2 };

// A stored split mode (setting "Split Mode", a sheet's SPLIT MODE key): 0 auto, 1 fast, 2 frame;
// any other number reads as auto.
constexpr SplitMode SplitModeFromNumber(int number) {
    return number >= 0 && number <= 2 ? static_cast<SplitMode>(number) : SplitMode::Auto;
}

// The mode's text as the list shows it (SplitModeAuto, SplitModeFast, SplitModeFrame), and back;
// any other text reads as auto.
std::string SplitModeText(SplitMode mode);
SplitMode ParseSplitModeText(const std::string& text);

}  // namespace partita
