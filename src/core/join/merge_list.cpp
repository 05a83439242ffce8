#include "join/merge_list.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "app/user_message.h"

namespace partita {
namespace fs = std::filesystem;
namespace {

// The leading decimal digits of a text (after white space); 0 when there are none.
std::uint64_t LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    std::uint64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value < 1'000'000'000'000'000'000ULL)
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return value;
}

std::string FormatDouble(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

int CompareText(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

std::string MergeRow::Path() const {
    const std::string& folder = texts[kMergeFolder];
    if (folder.empty())
        return texts[kMergeFileName];
    return (fs::path(folder) / texts[kMergeFileName]).string();
}

std::uint64_t MergeRow::LengthMs() const {
    return ParseTime(texts[kMergeLength], kTimeHourMinSec);
}

PartialRange MergeRow::Range() const {
    PartialRange range;
    std::uint64_t start = ParseTime(texts[kMergeStart], kTimeHourMinSec);
    std::uint64_t end = ParseTime(texts[kMergeEnd], kTimeHourMinSec);
    if (end < start)
        return range;
    range.startMs = start;
    range.endMs = end < LengthMs() ? end : 0;
    return range;
}

int MergeRow::SilenceSeconds() const {
    std::uint64_t value = LeadingNumber(texts[kMergeSilence]);
    return value > 1'000'000'000 ? 1'000'000'000 : static_cast<int>(value);
}

std::uint64_t MergeRow::FileSize() const {
    return LeadingNumber(texts[kMergeFileSize]);
}

std::string SilenceText(int seconds) {
    return seconds > 0 ? std::to_string(seconds) : Message(Msg::NoSilence);
}

std::string BitrateText(const MergeFileFacts& facts) {
    if (facts.audioType == audio::AudioType::Mpeg || facts.audioType == audio::AudioType::Wma)
        return FormatDouble(facts.vbr ? "%.0fkbps VBR" : "%.0fkbps", facts.bitrateKbps);
    // The average of size and duration: bytes / (seconds × 125), rounded.
    double average = 0;
    if (facts.durationMs > 0) {
        average = static_cast<double>(facts.fileSize) /
                  (static_cast<double>(facts.durationMs) / 1000.0 * 125.0);
    }
    return FormatDouble("%.0fkbps", std::floor(average + 0.5));
}

std::string FormatTotalSize(std::uint64_t bytes) {
    double kb = static_cast<double>(bytes) / 1024.0;
    if (kb < 1024.0)
        return FormatDouble("%.0f KB", kb);
    return FormatDouble("%.1f MB", static_cast<double>(bytes) / 1048576.0);
}

MergeAddOutcome MergeList::AddFile(const std::string& path, std::size_t index,
                                   MergeFileInspector& inspector, SettingsStore& settings) {
    MergeAddOutcome outcome;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec)
        full = fs::path(path);
    std::string folder = full.parent_path().string();
    settings::MergeSourceLastFolder.Write(settings, folder);

    MergeFileFacts facts;
    UserMessage failure(Msg::CannotLoadFile, full.string());
    if (!inspector.Inspect(full.string(), facts, failure) || facts.durationMs == 0) {
        outcome.message = std::move(failure);
        return outcome;
    }

    MergeRow row;
    std::string length = FormatTime(facts.durationMs, kTimeHourMinSec);
    row[kMergeFileName] = full.filename().string();
    row[kMergeLength] = length;
    row[kMergeStart] = FormatTime(0, kTimeHourMinSec);
    row[kMergeEnd] = length;
    int silence = settings::AutoApplySilence.Read(settings) != 0
                      ? settings::MergeSilenceLength.Read(settings)
                      : 0;
    row[kMergeSilence] = SilenceText(silence);
    row[kMergeTitle] = facts.title;
    row[kMergeArtist] = facts.artist;
    row[kMergeAlbum] = facts.album;
    row[kMergeTrack] = facts.track;
    row[kMergeSampleRate] = std::to_string(facts.sampleRate);
    row[kMergeBitrate] = BitrateText(facts);
    if (facts.channelMode >= 0 && facts.channelMode < 4)
        row[kMergeChannels] = kChannelModeNames[facts.channelMode];
    else
        row[kMergeChannels] = facts.channels == 1 ? kMonoName : kStereoName;
    row[kMergeGenre] = facts.genre;
    row[kMergeYear] = facts.year;
    row[kMergeComment] = facts.comment;
    row[kMergeFileSize] = std::to_string(facts.fileSize);
    row[kMergeFolder] = folder;
    row.selected = true;

    index = std::min(index, rows_.size());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
    if (settings::PartialMergeAutoApply.Read(settings) != 0)
        ApplyPartialSettings(index, settings);

    outcome.added = true;
    if (!facts.tagsRead)
        outcome.message = Msg::TagsUnreadable;
    return outcome;
}

void MergeList::FinishBatch(std::size_t firstAdded, bool resort, SettingsStore& settings) {
    // Only the first row added stays selected; the flag travels with it through the sort.
    for (auto& row : rows_)
        row.selected = false;
    if (firstAdded < rows_.size())
        rows_[firstAdded].selected = true;
    if (resort) {
        settings::JoinerSorting sorting = settings::ReadJoinerSorting(settings);
        if (sorting.column >= 0 && sorting.column < kMergeColumnCount)
            SortBy(sorting.column, sorting.direction != 0);
    }
}

void MergeList::ApplyPartialSettings(std::size_t index, SettingsStore& settings) {
    if (index >= rows_.size())
        return;
    std::uint64_t d = rows_[index].LengthMs();
    std::uint64_t start = 0;
    std::uint64_t end = d;
    if (settings::PartialMergeEnable.Read(settings) != 0) {
        auto read = [&](const IntSetting& setting) {
            int value = setting.Read(settings);
            return value > 0 ? static_cast<std::uint64_t>(value) : 0;
        };
        start = read(settings::PartialMergeStart);
        switch (settings::PartialMergeMode.Read(settings)) {
            case 1: {
                std::uint64_t cut = read(settings::PartialMergeLength2End);
                end = cut > d ? 0 : d - cut;
                break;
            }
            case 2:
                end = std::min(d, start + read(settings::PartialMergeLength));
                break;
            default:
                end = std::min(d, read(settings::PartialMergeEndPos));
                break;
        }
    }
    if (end >= start)
        SetRange(index, start, end);
}

void MergeList::SetRange(std::size_t index, std::uint64_t startMs, std::uint64_t endMs) {
    rows_[index][kMergeStart] = FormatTime(startMs, kTimeHourMinSec);
    rows_[index][kMergeEnd] = FormatTime(endMs, kTimeHourMinSec);
}

void MergeList::SetSilence(std::size_t index, int seconds) {
    rows_[index][kMergeSilence] = SilenceText(seconds);
}

void MergeList::SortBy(int column, bool ascending) {
    if (column < 0 || column >= kMergeColumnCount)
        return;
    auto compare = [column](const MergeRow& a, const MergeRow& b) -> int {
        switch (column) {
            case kMergeLength:
            case kMergeStart:
            case kMergeEnd: {
                auto ta = ParseTime(a[column], kTimeHourMinSec);
                auto tb = ParseTime(b[column], kTimeHourMinSec);
                return ta == tb ? 0 : (ta < tb ? -1 : 1);
            }
            case kMergeSilence:
            case kMergeSampleRate:
            case kMergeBitrate:
            case kMergeFileSize: {
                auto na = LeadingNumber(a[column]);
                auto nb = LeadingNumber(b[column]);
                return na == nb ? 0 : (na < nb ? -1 : 1);
            }
            default:
                return CompareText(a[column], b[column]);
        }
    };
    std::stable_sort(rows_.begin(), rows_.end(), [&](const MergeRow& a, const MergeRow& b) {
        int c = compare(a, b);
        return ascending ? c < 0 : c > 0;
    });
}

std::uint64_t MergeList::TotalLengthMs() const {
    std::uint64_t total = 0;
    for (const auto& row : rows_)
        total += row.LengthMs();
    return total;
}

std::uint64_t MergeList::TotalSize() const {
    std::uint64_t total = 0;
    for (const auto& row : rows_)
        total += row.FileSize();
    return total;
}

}  // namespace partita
