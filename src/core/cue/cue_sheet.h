#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/result.h"
#include "audio/audio_type.h"
#include "cue/cue_track_record.h"

namespace partita {

// Whether a path names a CUE sheet: its extension is ".cue" in any letter case.
bool IsCueSheetPath(const std::filesystem::path& path);

// The value of a line: the text between its first and its last double quote (inner quotes stay
// part of it). False when the line has no double quote; a single one yields an empty value.
bool GetQuotedValue(std::string_view line, std::string& value);

// The audio file of a FILE line: its quoted value, or without quotes all words after FILE but
// the last (the file type). False when it names nothing.
bool GetFileValue(std::string_view line, std::string& value);

// Reads one key line (TITLE, PERFORMER, or the program's own "REM @..." keys) into `record`.
// Lines with other keys are ignored; false when a known key has no quoted value.
bool ParseKeyLine(std::string_view line, CueTrackRecord& record);

// The audio file a FILE line names, as found from the sheet's folder: a name without folder, or
// a relative path, lies next to the sheet; "\" and "/" both separate folders. A path that does
// not exist here (a Windows path, a moved folder) falls back to the same file name next to the
// sheet when that file exists; otherwise the path as written is returned.
std::filesystem::path ResolveSheetAudioPath(std::string_view fileValue,
                                            const std::filesystem::path& sheetFolder);

// One loaded CUE sheet: the audio file it names, what its header says and its tracks. A path
// that is not a ".cue" file loads as the audio file itself, without tracks.
class CueSheet {
  public:
    explicit CueSheet(std::string legacyCodePage = "ISO-8859-1")
        : legacyCodePage_(std::move(legacyCodePage)) {}

    // Resets and loads `path`. On failure the object holds no tracks and Error() says why:
    // CannotOpenFile when the sheet cannot be read, CueLineMalformed for a malformed line (its
    // 1-based number, blank lines counted), CueTrackTimeUnreadable for a track whose INDEX
    // lines are missing or too many.
    bool Load(const std::filesystem::path& path);
    // Sets the audio file and its type as its extension tells; Unknown when only opening the
    // file can tell.
    void SetAudioFile(const std::filesystem::path& path);
    // Copies track `index`; false when there is no such track.
    bool GetTrack(int index, CueTrackRecord& record) const;
    void Reset();

    bool IsCue() const { return isCue_; }
    int TrackCount() const { return static_cast<int>(tracks_.size()); }
    const std::filesystem::path& AudioPath() const { return audioPath_; }
    // Every FILE of the sheet, as found: the first is AudioPath(); each track belongs to the
    // FILE above it (its fileIndex).
    const std::vector<std::filesystem::path>& AudioPaths() const { return audioPaths_; }
    audio::AudioType AudioType() const { return audioType_; }
    const std::filesystem::path& CuePath() const { return cuePath_; }
    const CueTrackRecord& Header() const { return header_; }
    const std::vector<CueTrackRecord>& Tracks() const { return tracks_; }

    const Status& Error() const { return error_; }

  private:
    bool Fail(ErrorCode code, UserMessage message);
    bool FailLine(int line);
    bool FailTrack(int track);

    std::string legacyCodePage_;
    bool isCue_ = false;
    std::filesystem::path audioPath_;
    std::vector<std::filesystem::path> audioPaths_;
    audio::AudioType audioType_ = audio::AudioType::Unknown;
    std::filesystem::path cuePath_;
    CueTrackRecord header_;
    std::vector<CueTrackRecord> tracks_;
    Status error_;
};

}  // namespace partita
