#include "join/merge_list_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "app/code_page.h"
#include "app/output_file.h"
#include "app/time_text.h"
#include "app/trim.h"
#include "app/user_message.h"
#include "cue/cue_sheet.h"
#include "cue/text_line_reader.h"

namespace partita {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kBeginPrefix = "#EXTMERGEBEGIN:";
constexpr std::string_view kEndPrefix = "#EXTMERGEEND:";
constexpr std::string_view kSilencePrefix = "#EXTSILENCE:";
constexpr std::size_t kPlsValueLimit = 1024;

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// Splits text into its non-empty lines; any run of CR and LF ends a line, so CR LF, LF CR and
// the empty lines between line ends all read alike.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            if (i > start)
                lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return lines;
}

// The integer value of a text as C's atoi reads it: white space, a sign, digits.
int IntegerValue(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        if (value < 1'000'000'000)
            value = value * 10 + (c - '0');
    }
    if (value > 1'000'000'000)
        value = 1'000'000'000;
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::vector<MergeListEntry> ParseM3u(std::string_view text) {
    // A byte-order mark is not part of the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<MergeListEntry> entries;
    MergeListEntry pending;
    for (std::string_view raw : Lines(text)) {
        std::string_view line = Trim(raw);
        if (line.empty())
            continue;
        if (line.front() == '#') {
            if (StartsWithIgnoreCase(line, kBeginPrefix))
                pending.startMs = ParseTime(line.substr(kBeginPrefix.size()), kTimeHourMinSec);
            else if (StartsWithIgnoreCase(line, kEndPrefix))
                pending.endMs = ParseTime(line.substr(kEndPrefix.size()), kTimeHourMinSec);
            else if (StartsWithIgnoreCase(line, kSilencePrefix))
                pending.silenceSeconds = IntegerValue(line.substr(kSilencePrefix.size()));
            continue;
        }
        pending.path = std::string(line);
        entries.push_back(pending);
        pending = MergeListEntry{};
    }
    return entries;
}

bool ParsePls(std::string_view text, std::vector<std::string>& paths) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::pair<std::string_view, std::string_view>> values;  // of section "playlist"
    bool inPlaylist = false;
    for (std::string_view raw : Lines(text)) {
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            auto close = line.find(']');
            std::string_view name = Trim(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            inPlaylist = EqualsIgnoreCase(name, "playlist");
            continue;
        }
        auto equals = line.find('=');
        if (!inPlaylist || equals == std::string_view::npos)
            continue;
        values.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    }
    // The entries present, by number: a "NumberOfEntries" far above them costs nothing, and one
    // that is missing or not a number still reads the list's own entries.
    std::map<long long, std::string_view> files;
    bool hasCount = false;
    int count = 0;
    for (const auto& [name, value] : values) {
        if (EqualsIgnoreCase(name, "NumberOfEntries")) {
            hasCount = true;
            count = IntegerValue(value);
        } else if (StartsWithIgnoreCase(name, "File") && name.size() > 4 && name.size() < 14 &&
                   std::all_of(name.begin() + 4, name.end(), [](char c) {
                       return std::isdigit(static_cast<unsigned char>(c));
                   })) {
            files.try_emplace(std::stoll(std::string(name.substr(4))), value);
        }
    }
    if (!hasCount && files.empty())
        return false;
    paths.clear();
    for (auto [number, value] : files) {
        if (number < 1 || (count >= 1 && number > count))
            continue;
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (!value.empty())
            paths.emplace_back(value.substr(0, kPlsValueLimit));
    }
    return true;
}

Status ReadMergeListFile(const std::string& path, std::string_view legacyCodePage,
                         std::vector<MergeListEntry>& entries) {
    entries.clear();
    std::string bytes;
    if (!ReadRegularFileBytes(path, TextLineReader::kMaxFileBytes, bytes)) {
        return Status::Error(
            ErrorCode::Unreadable,
            UserMessage(Msg::CannotOpenListFile, path).WithReason(ReadErrorOf(path)));
    }
    std::string text = DecodeTextBytes(bytes, legacyCodePage);

    std::vector<std::string> plsPaths;
    if (ParsePls(text, plsPaths)) {
        for (auto& p : plsPaths)
            entries.push_back(MergeListEntry{std::move(p)});
    } else {
        entries = ParseM3u(text);
    }
    // Paths are found as a sheet's FILE is: relative ones beside the list, "\" or "/" between
    // folders, and a Windows path that is not here by its name beside the list.
    std::error_code ec;
    fs::path folder = fs::absolute(fs::path(path), ec).parent_path();
    for (auto& entry : entries)
        entry.path = ResolveSheetAudioPath(entry.path, folder).lexically_normal().string();
    return Status::Ok();
}

std::string FormatM3u(const MergeList& list) {
    std::string text = "#EXTM3U\r\n";
    for (const MergeRow& row : list.Rows()) {
        std::string path = row.Path();
        if (path.empty())
            continue;
        PartialRange range = row.Range();
        if (range.startMs > 0)
            text += std::string(kBeginPrefix) + " " + FormatTime(range.startMs, 2) + "\r\n";
        if (range.endMs > 0)
            text += std::string(kEndPrefix) + " " + FormatTime(range.endMs, 2) + "\r\n";
        if (row.silenceSeconds > 0)
            text += std::string(kSilencePrefix) + " " + std::to_string(row.silenceSeconds) + "\r\n";
        std::error_code ec;
        fs::path absolute = fs::absolute(fs::path(path), ec);
        text += (ec ? path : absolute.string()) + "\r\n";
    }
    return text;
}

Status SaveMergeList(const MergeList& list, const std::string& path,
                     const ConfirmReplace& confirmReplace) {
    if (list.Size() == 0)
        return Status::Error(ErrorCode::InvalidInput, {Msg::ListEmpty});
    std::error_code ec;
    fs::path target = fs::absolute(fs::path(path), ec).lexically_normal();
    for (const MergeRow& row : list.Rows()) {
        fs::path source = fs::absolute(fs::path(row.Path()), ec).lexically_normal();
        std::error_code same;
        if (source == target || fs::equivalent(source, target, same))
            return Status::Error(ErrorCode::InvalidInput, {Msg::OutputIsSource, path});
    }
    if (fs::exists(fs::symlink_status(target, ec)) &&
        !(confirmReplace && confirmReplace(UserMessage{Msg::ConfirmReplaceFile, path})))
        return Status::Error(ErrorCode::Stopped, {Msg::ListFileKept, path});
    std::string text = FormatM3u(list);
    OutputFile out;
    if (!out.Open(path) || !out.Write(text.data(), text.size()) || !out.Commit())
        return Status::Error(ErrorCode::WriteFailed,
                             UserMessage(Msg::CannotCreateListFile, path).WithReason(out.Error()));
    return Status::Ok();
}

Status LoadMergeList(MergeList& list, const std::string& path, MergeFileInspector& inspector,
                     const MergeListDefaults& defaults, MergeListLoad* load) {
    std::vector<MergeListEntry> entries;
    Status status = ReadMergeListFile(path, defaults.legacyCodePage, entries);
    if (!status.ok())
        return status;
    MergeListLoad result;
    result.firstRow = list.Size();
    for (const MergeListEntry& entry : entries) {
        std::size_t index = list.Size();
        MergeAddOutcome outcome = list.AddFile(entry.path, index, inspector, defaults);
        if (outcome.added) {
            ++result.added;
            const MergeRow& row = list.Row(index);
            // A range that holds nothing of the file would join all of it unnoticed: it is
            // reported, and the row keeps the whole file.
            std::uint64_t end = entry.endMs > 0 ? entry.endMs : row.lengthMs;
            if ((entry.startMs > 0 || entry.endMs > 0) &&
                (entry.startMs >= end || entry.startMs >= row.lengthMs)) {
                result.messages.push_back(
                    {true, UserMessage(Msg::RangeOutsideFile, entry.path,
                                       FormatTime(entry.startMs, kTimeHourMinSec),
                                       FormatTime(end, kTimeHourMinSec),
                                       FormatTime(row.lengthMs, kTimeHourMinSec))});
            } else if (entry.startMs > 0 || entry.endMs > 0) {
                list.SetRange(index, entry.startMs > 0 ? entry.startMs : row.startMs,
                              entry.endMs > 0 ? entry.endMs : row.endMs);
            }
            if (entry.silenceSeconds > kMaxSilenceSeconds) {
                result.messages.push_back(
                    MergeAddOutcome{true, UserMessage{Msg::ListSilenceTooLong, entry.path,
                                                      entry.silenceSeconds, kMaxSilenceSeconds}});
            }
            if (entry.silenceSeconds > 0)
                list.SetSilence(index, entry.silenceSeconds);
        }
        if (outcome.message)
            result.messages.push_back(std::move(outcome));
    }
    if (load)
        *load = std::move(result);
    return Status::Ok();
}

}  // namespace partita
