#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/audio_type.h"
#include "mpeg/frame_header.h"
#include "mpeg/vbr_header.h"
#include "split/overlaps.h"

namespace partita {

struct SplitSource;

// What a row of the split list stands for; its depth in the tree follows from it.
enum class SplitNodeKind : int { Group = 0, Source = 1, Track = 2 };

// The columns of the split list as a view shows them (see SplitList::CellText).
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

// A track's boundaries in milliseconds.
struct TrackTimes {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool operator==(const TrackTimes&) const = default;
};

// The tag texts of a row. Title, artist, album, track number and comment are templates that may
// hold "%S" (the track's position), "%K" and "%M", expanded when a track is cut; genre and year
// are taken literally.
struct TagTemplates {
    std::string title, artist, album, genre, year, trackNumber, comment;

    // The text of a tag column (kColTitle, kColArtist, ...); null for another column.
    const std::string* Field(int column) const;
    std::string* Field(int column);
    bool operator==(const TagTemplates&) const = default;
};

// The format of a source as loading found it, kept with its row so that the information line
// and the split-mode switch need no new analysis.
struct SourceFormat {
    audio::AudioType type = audio::AudioType::Unknown;
    // MPEG audio.
    MpegVersion version = MpegVersion::Reserved;
    MpegLayer layer = MpegLayer::Reserved;
    double bitrateKbps = 0;  // the average of a VBR stream, else the first frame's
    // The header of a VBR stream (a LAME "Info" frame of a constant-bitrate stream counts as
    // none): it decides the auto mode.
    VbrHeaderType vbrHeader = VbrHeaderType::None;
    int channelMode = 0;  // as in the frame header
    // MPEG and WAV.
    int sampleRate = 0;
    // WAV (channels for any other format the audio layer reads as well).
    int bitsPerSample = 0;
    int channels = 0;

    bool operator==(const SourceFormat&) const = default;
};

// Whether times of a source map frame by frame: frame mode, or auto mode on a VBR stream. Only
// MPEG audio has frames.
bool FrameModeInForce(const SourceFormat& format, SplitMode mode);

// One row of the split list, every value typed; texts are made from it only for display, CUE
// sheets and list files.
struct SplitRow {
    SplitNodeKind kind = SplitNodeKind::Group;
    bool checked = true;  // takes part in a split
    // Group: its name. Source: its file name with extension, and its folder ending in a
    // separator.
    std::string name;
    std::string folder;
    // Source: duration, mode, format and the analysis loading made (null when loading made none:
    // a format that is not cut). Shared, never changed: it is replaced as a whole.
    std::uint64_t durationMs = 0;
    SplitMode mode = SplitMode::Auto;
    SourceFormat format;
    std::shared_ptr<const SplitSource> analysis;
    // Track: its boundaries.
    TrackTimes times;
    // Source and track: what a new track copies from its source, then its own.
    Overlaps overlaps;
    TagTemplates tags;
};

}  // namespace partita
