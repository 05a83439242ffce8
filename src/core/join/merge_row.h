#pragma once

#include <cstdint>
#include <string>

#include "audio/audio_type.h"
#include "tags/tag_texts.h"

namespace partita {

// The columns of the merge list as its views show them and its layout setting names them.
enum MergeColumn : int {
    kMergeFileName = 0,
    kMergeLength,   // whole file, H:MM:SS
    kMergeStart,    // partial range start, "0:00:00" when not set
    kMergeEnd,      // partial range end, the length when not set
    kMergeSilence,  // whole seconds after this file, "%d" or the none text
    kMergeTitle,
    kMergeArtist,
    kMergeAlbum,
    kMergeTrack,
    kMergeSampleRate,
    kMergeBitrate,
    kMergeChannels,
    kMergeGenre,
    kMergeYear,
    kMergeComment,
    kMergeFileSize,
    kMergeFolder,  // folder holding the file
    kMergeColumnCount
};

// What the add step needs to know about a file. Filled by a `MergeFileInspector`.
struct MergeFileFacts {
    audio::AudioType audioType = audio::AudioType::Unknown;
    std::uint64_t durationMs = 0;
    std::uint64_t fileSize = 0;
    int sampleRate = 0;
    int channels = 0;
    int channelMode = -1;  // MPEG channel mode 0-3; -1 for other files (named by `channels`)
    // MPEG: the first frame's bitrate, or the average when a VBR header states the frame count;
    // WMA: the bitrate of its tags. Other files show the average of size and duration.
    double bitrateKbps = 0;
    bool vbr = false;
    // MPEG: the stream's version and layer as the frame header codes them; 0 for other files.
    int mpegVersion = 0;
    int mpegLayer = 0;
    bool tagsRead = true;
    TagTexts tags;
};

// The partial range of a row as the engines read it, in ms; 0 means not set (from the
// beginning, to the end).
struct PartialRange {
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;
    bool IsSet() const { return startMs > 0 || endMs > 0; }
};

// One file of the merge list. Times are whole seconds, as the list shows them and its list
// files keep them: a length of 200.5 s is 200 s here, so a range ending at the length reads as
// "to the end" and the totals add what the rows show.
struct MergeRow {
    std::string folder;
    std::string fileName;
    // As the merge tells files apart: by the extension when it names a type, else by content.
    audio::AudioType audioType = audio::AudioType::Unknown;
    std::uint64_t lengthMs = 0;
    std::uint64_t startMs = 0;  // partial range as set: 0 and the length when there is none
    std::uint64_t endMs = 0;
    int silenceSeconds = 0;  // after the file
    TagTexts tags;
    int sampleRate = 0;
    int channels = 0;
    int channelMode = -1;    // MPEG channel mode 0-3; -1 for other files
    double bitrateKbps = 0;  // as listed: for files other than MPEG and WMA the rounded average
    bool vbr = false;        // listed with "VBR"
    std::uint64_t fileSize = 0;
    int mpegVersion = 0;  // MPEG version and layer codes of the stream; 0 for other files
    int mpegLayer = 0;

    // The row of an inspected file; `path` is absolute. The range covers the whole file.
    static MergeRow FromFacts(const std::string& path, const MergeFileFacts& facts);

    // Sets the partial range as given, kept to the second.
    void SetRange(std::uint64_t start, std::uint64_t end);
    // Folder joined with file name.
    std::string Path() const;
    bool IsMpeg() const { return audioType == audio::AudioType::Mpeg; }
    // Mono as the channel column names it: MPEG channel mode 3, or one channel.
    bool IsMono() const;
    // Start and end as the engines read them: no range when end < start; an end at or past the
    // length reads as 0 (to the end of the file).
    PartialRange Range() const;
    // The text of a column, as the list shows it and its list files and layout keep it.
    std::string Text(int column) const;
};

// The channel texts of column 11: the MPEG channel modes 0-3; other files are mono or stereo.
inline constexpr const char* kChannelModeNames[4] = {"立体声", "联合立体声", "双声道", "单声道"};

// Column 4's text for a silence: "%d", or the none text (NoSilence) for 0.
std::string SilenceText(int seconds);
// The texts of the page's totals: "%.0f KB" under 1024 KB, else "%.1f MB".
std::string FormatTotalSize(std::uint64_t bytes);

}  // namespace partita
