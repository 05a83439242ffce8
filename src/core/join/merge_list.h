#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/user_message.h"
#include "audio/audio_type.h"

namespace partita {

// The columns of a merge list row. The texts are the data: the engines and the list files read
// them back, so their forms are fixed (times "H:MM:SS", silence "%d" or the none text, sizes
// in decimal bytes).
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

// The channel texts of column 11 (the MPEG channel modes 0-3); the job compares against the
// mono text to find all-mono lists.
inline constexpr const char* kChannelModeNames[4] = {"立体声", "联合立体声", "双声道", "单声道"};
inline constexpr const char* kMonoName = "单声道";
inline constexpr const char* kStereoName = "立体声";

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
    bool tagsRead = true;
    std::string title, artist, album, year, comment, track, genre;
};

// Looks into audio files for the add step; the real one analyses MPEG files itself and asks the
// audio layer about the others, tests give canned answers.
class MergeFileInspector {
  public:
    virtual ~MergeFileInspector() = default;
    // True with `facts` filled, or false (a duration of 0 is a failure) with `failure`, which
    // callers start as CannotLoadFile, set to the reason when the inspector knows a better one.
    virtual bool Inspect(const std::string& path, MergeFileFacts& facts, UserMessage& failure) = 0;
};

// The partial range of a row in ms; 0 means not set (from the beginning, to the end).
struct PartialRange {
    std::uint64_t startMs = 0;
    std::uint64_t endMs = 0;
    bool IsSet() const { return startMs > 0 || endMs > 0; }
};

struct MergeRow {
    std::array<std::string, kMergeColumnCount> texts;
    bool selected = false;

    const std::string& operator[](int column) const { return texts[column]; }
    std::string& operator[](int column) { return texts[column]; }

    // Folder joined with file name.
    std::string Path() const;
    std::uint64_t LengthMs() const;
    // Start and end as the engines read them: no range when end < start; an end at or past the
    // length reads as 0 (to the end of the file).
    PartialRange Range() const;
    // Seconds of silence after the file; the none text and anything else that is not a number
    // read as 0.
    int SilenceSeconds() const;
    std::uint64_t FileSize() const;
};

// The outcome of adding one file: whether a row was made, and a message to show (a failed
// inspection, or TagsUnreadable when the row was added without its tags).
struct MergeAddOutcome {
    bool added = false;
    std::optional<UserMessage> message;
};

// The ordered list of files to join. The same file may appear in several rows.
class MergeList {
  public:
    std::size_t Size() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    const MergeRow& Row(std::size_t i) const { return rows_[i]; }
    MergeRow& Row(std::size_t i) { return rows_[i]; }
    const std::vector<MergeRow>& Rows() const { return rows_; }

    // Inspects the file and inserts its row at `index` (clamped to the end): stores the folder
    // as "Merge Source Last Folder", applies the stored silence and partial-merge settings when
    // they are set to apply to new rows, and selects the row.
    MergeAddOutcome AddFile(const std::string& path, std::size_t index,
                            MergeFileInspector& inspector, SettingsStore& settings);
    // The common end of a batch of adds: re-sorts by the stored column when asked (a list
    // file's batch is not re-sorted), then selects only the first row added.
    void FinishBatch(std::size_t firstAdded, bool resort, SettingsStore& settings);
    // Applies the stored partial-merge settings to a row, according to its own length.
    void ApplyPartialSettings(std::size_t row, SettingsStore& settings);
    // Sets a row's range (times in ms, written to the second) or silence.
    void SetRange(std::size_t row, std::uint64_t startMs, std::uint64_t endMs);
    void SetSilence(std::size_t row, int seconds);
    // Sorts by a column (0..16); numeric columns compare as numbers, the rest as text.
    void SortBy(int column, bool ascending);
    void Clear() { rows_.clear(); }

    // Sum of the rows' lengths as their texts say, and of their file sizes.
    std::uint64_t TotalLengthMs() const;
    std::uint64_t TotalSize() const;

  private:
    std::vector<MergeRow> rows_;
};

// The texts of the page's totals: "H:MM:SS", and "%.0f KB" under 1024 KB, else "%.1f MB".
std::string FormatTotalSize(std::uint64_t bytes);
// Column 4's text for a silence: "%d", or the none text (NoSilence) for 0.
std::string SilenceText(int seconds);
// Column 10's text for a file.
std::string BitrateText(const MergeFileFacts& facts);

}  // namespace partita
