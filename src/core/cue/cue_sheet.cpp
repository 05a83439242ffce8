#include "cue/cue_sheet.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <tuple>

#include "app/time_text.h"
#include "app/user_message.h"
#include "audio/audio_type.h"
#include "cue/cue_time.h"
#include "cue/text_line_reader.h"

namespace partita {
namespace fs = std::filesystem;
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) !=
            std::toupper(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// Cuts UTF-8 text to at most `chars` characters.
std::string CutToChars(std::string text, std::size_t chars) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;  // a continuation byte belongs to the character before it
        if (count == chars) {
            text.resize(i);
            break;
        }
        ++count;
    }
    return text;
}

// A decimal integer as the C library reads one: blanks, a sign and the leading digits; a text
// without digits reads as 0. Values beyond 32 bits saturate.
std::int32_t ReadInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), 1LL << 32);
    value = negative ? -value : value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ReadOverlap(std::string_view text) {
    std::uint64_t ms = ParseTime(text, kTimeList);
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(ms, std::numeric_limits<std::int32_t>::max()));
}

bool IsWindowsAbsolute(std::string_view path) {
    bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                 path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || path.substr(0, 2) == "\\\\";
}

// A line's value without quotes: the rest of the line after its key.
std::string BareValue(std::string_view line, std::size_t keyLength) {
    std::string_view rest = line.substr(std::min(keyLength, line.size()));
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
        rest.remove_prefix(1);
    return std::string(rest);
}

}  // namespace

bool GetFileValue(std::string_view line, std::string& value) {
    if (GetQuotedValue(line, value))
        return true;
    // Rippers also write FILE name.mp3 MP3: the name is all but the last word (the type).
    std::string rest = BareValue(line, 4);
    auto blank = rest.find_last_of(" \t");
    value = blank == std::string::npos ? rest : rest.substr(0, blank);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.pop_back();
    return !value.empty();
}

bool GetQuotedValue(std::string_view line, std::string& value) {
    auto first = line.find('"');
    if (first == std::string_view::npos)
        return false;
    auto last = line.rfind('"');
    value = last > first ? std::string(line.substr(first + 1, last - first - 1)) : std::string();
    return true;
}

bool ParseKeyLine(std::string_view line, CueTrackRecord& record) {
    using R = CueTrackRecord;
    struct TextKey {
        std::string_view key;
        bool own;  // behind the "REM @" prefix
        std::string R::*field;
        std::size_t chars;
        R::Present bit;
    };
    static constexpr TextKey kTextKeys[] = {
        {"PERFORMER", false, &R::performer, R::kPerformerChars, R::kPerformer},
        {"TITLE", false, &R::title, R::kTitleChars, R::kTitle},
        {"ALBUM", true, &R::album, R::kAlbumChars, R::kAlbum},
        {"YEAR", true, &R::year, R::kYearChars, R::kYear},
        {"COMMENT", true, &R::comment, R::kCommentChars, R::kComment},
        {"TRACK", true, &R::track, R::kTrackChars, R::kTrack},
        {"GENRE", true, &R::genre, R::kGenreChars, R::kGenre},
    };
    struct NumberKey {
        std::string_view key;
        std::int32_t R::*field;
        bool overlap;  // a time text; else an integer
        R::Present bit;
    };
    static constexpr NumberKey kNumberKeys[] = {
        {"FW OVERLAP", &R::fwOverlapMs, true, R::kFwOverlap},
        {"BW OVERLAP", &R::bwOverlapMs, true, R::kBwOverlap},
        {"SPLIT MODE", &R::splitMode, false, R::kSplitMode},
        {"SELECTED", &R::selected, false, R::kSelected},
    };

    std::string_view prefix = kCueKeyPrefix;
    bool own = StartsWithNoCase(line, prefix);
    std::string_view rest = own ? line.substr(prefix.size()) : line;
    std::string value;
    for (const TextKey& k : kTextKeys) {
        if (k.own == own && StartsWithNoCase(rest, k.key)) {
            if (!GetQuotedValue(line, value))
                return false;
            record.*k.field = CutToChars(std::move(value), k.chars);
            record.present |= k.bit;
            return true;
        }
    }
    if (!own) {
        // The year and genre as rippers write them, where the program's own keys say nothing.
        for (auto [key, field, bit] :
             {std::tuple{std::string_view("REM DATE"), &R::year, R::kYear},
              std::tuple{std::string_view("REM GENRE"), &R::genre, R::kGenre}}) {
            if (StartsWithNoCase(line, key) && !record.Has(bit)) {
                if (!GetQuotedValue(line, value))
                    value = BareValue(line, key.size());
                record.*field = CutToChars(std::move(value), R::kYearChars);
                record.present |= bit;
            }
        }
        return true;
    }
    for (const NumberKey& k : kNumberKeys) {
        if (StartsWithNoCase(rest, k.key)) {
            if (!GetQuotedValue(line, value))
                return false;
            record.*k.field = k.overlap ? ReadOverlap(value) : ReadInteger(value);
            record.present |= k.bit;
            return true;
        }
    }
    return true;
}

fs::path ResolveSheetAudioPath(std::string_view fileValue, const fs::path& sheetFolder) {
    std::string value(fileValue);
    std::string name = value.substr(value.find_last_of("\\/") + 1);
    fs::path written;
    if (IsWindowsAbsolute(value)) {
        written = fs::path(value);
    } else {
        std::replace(value.begin(), value.end(), '\\', '/');
        fs::path relative(value);
        written = relative.is_absolute() ? relative : sheetFolder / relative;
    }
    std::error_code ec;
    if (fs::is_regular_file(written, ec))
        return written;
    fs::path beside = sheetFolder / name;
    if (!name.empty() && fs::is_regular_file(beside, ec))
        return beside;
    return written;
}

void CueSheet::Reset() {
    isCue_ = false;
    audioPath_.clear();
    audioPaths_.clear();
    audioType_ = audio::AudioType::Unknown;
    cuePath_.clear();
    header_ = CueTrackRecord();
    tracks_.clear();
    error_ = Status::Ok();
}

void CueSheet::SetAudioFile(const fs::path& path) {
    audioPath_ = path;
    audioType_ = audio::AudioTypeFromExtension(path).value_or(audio::AudioType::Unknown);
}

bool CueSheet::GetTrack(int index, CueTrackRecord& record) const {
    if (index < 0 || index >= TrackCount())
        return false;
    record = tracks_[static_cast<std::size_t>(index)];
    return true;
}

bool CueSheet::Fail(ErrorCode code, UserMessage message) {
    tracks_.clear();
    error_ = Status::Error(code, std::move(message));
    return false;
}

bool CueSheet::FailLine(int line) {
    return Fail(ErrorCode::Damaged, {Msg::CueLineMalformed, line});
}

bool CueSheet::FailTrack(int track) {
    return Fail(ErrorCode::Damaged, {Msg::CueTrackTimeUnreadable, track});
}

bool IsCueSheetPath(const fs::path& path) {
    std::string ext = path.extension().string();
    return ext.size() == 4 && StartsWithNoCase(ext, ".cue");
}

bool CueSheet::Load(const fs::path& path) {
    Reset();
    cuePath_ = path;
    if (!IsCueSheetPath(path)) {
        SetAudioFile(path);
        return true;
    }
    isCue_ = true;

    TextLineReader reader;
    if (!reader.Open(path, legacyCodePage_)) {
        std::error_code ec;
        ErrorCode code = fs::exists(path, ec) ? ErrorCode::Unreadable : ErrorCode::NotFound;
        return Fail(
            code,
            UserMessage(Msg::CannotOpenFile, path.string()).WithReason(ReadErrorOf(path.string())));
    }

    // The header: everything before the first TRACK line.
    int counter = 1;
    std::string line;
    std::string fileValue;
    int trackLine = 0;
    while (trackLine == 0) {
        if (!reader.ReadNextTextLine(counter, line))
            return FailLine(reader.LineCount() + 1);
        int number = counter - 1;
        if (StartsWithNoCase(line, "FILE")) {
            // A later FILE line replaces an earlier one; the file type after it is not used.
            if (!GetFileValue(line, fileValue))
                return FailLine(number);
        } else if (StartsWithNoCase(line, "TRACK")) {
            trackLine = number;
        } else if (!ParseKeyLine(line, header_)) {
            return FailLine(number);
        }
    }
    if (fileValue.empty())
        return FailLine(trackLine);
    SetAudioFile(ResolveSheetAudioPath(fileValue, path.parent_path()));
    audioPaths_.push_back(audioPath_);

    // The tracks, each up to the next TRACK line. Track numbers count from 1 in file order; a
    // FILE line between tracks gives the tracks after it (a sheet of one file per track).
    bool atTrack = true;
    int fileIndex = 0;
    for (int number = 1; atTrack; ++number) {
        CueTrackRecord record;
        record.fileIndex = fileIndex;
        int indexCount = 0;
        atTrack = false;
        while (reader.ReadNextTextLine(counter, line)) {
            if (StartsWithNoCase(line, "TRACK")) {
                atTrack = true;
                break;
            }
            if (StartsWithNoCase(line, "FILE")) {
                if (!GetFileValue(line, fileValue))
                    return FailLine(counter - 1);
                audioPaths_.push_back(ResolveSheetAudioPath(fileValue, path.parent_path()));
                fileIndex = static_cast<int>(audioPaths_.size()) - 1;
                if (indexCount == 0)
                    record.fileIndex = fileIndex;
                continue;
            }
            if (StartsWithNoCase(line, "INDEX")) {
                if (indexCount >= 2)
                    return FailTrack(number);
                std::string_view time = line;
                time = time.substr(time.find_last_of(" \t") + 1);
                std::string text = FormatTime(CueTimeToMs(time), kTimeList);
                if (indexCount == 0)
                    record.startText = text;
                record.endText = text;
                record.indexLine = counter - 1;
                record.indexUnreadable = record.indexUnreadable || !IsCueTime(time);
                ++indexCount;
            } else if (!ParseKeyLine(line, record)) {
                return FailLine(counter - 1);
            }
        }
        if (indexCount == 0)
            return FailTrack(number);
        tracks_.push_back(std::move(record));
    }
    return true;
}

}  // namespace partita
