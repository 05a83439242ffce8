#include "join/merge_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <numeric>

namespace partita {
namespace fs = std::filesystem;
namespace {

template <typename T>
int CompareValues(const T& a, const T& b) {
    return a == b ? 0 : (a < b ? -1 : 1);
}

int CompareText(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return CompareValues(a.size(), b.size());
}

int CompareRows(const MergeRow& a, const MergeRow& b, int column) {
    switch (column) {
        case kMergeLength:
            return CompareValues(a.lengthMs, b.lengthMs);
        case kMergeStart:
            return CompareValues(a.startMs, b.startMs);
        case kMergeEnd:
            return CompareValues(a.endMs, b.endMs);
        case kMergeSilence:
            return CompareValues(a.silenceSeconds, b.silenceSeconds);
        case kMergeSampleRate:
            return CompareValues(a.sampleRate, b.sampleRate);
        case kMergeBitrate:
            return CompareValues(a.bitrateKbps, b.bitrateKbps);
        case kMergeFileSize:
            return CompareValues(a.fileSize, b.fileSize);
        default:
            return CompareText(a.Text(column), b.Text(column));
    }
}

// The range the partial-merge settings give a file of `lengthMs`; false when its end would fall
// before its start.
bool PartialRangeOf(std::uint64_t lengthMs, const PartialMergeSettings& partial,
                    std::uint64_t& start, std::uint64_t& end) {
    using EndMode = PartialMergeSettings::EndMode;
    const std::uint64_t d = lengthMs;
    start = 0;
    end = d;
    if (partial.enabled) {
        start = partial.startMs;
        switch (partial.mode) {
            case EndMode::LengthBeforeEnd:
                end = partial.lengthBeforeEndMs > d ? 0 : d - partial.lengthBeforeEndMs;
                break;
            case EndMode::LengthFromStart:
                end = std::min(d, start + partial.lengthFromStartMs);
                break;
            case EndMode::Position:
                end = std::min(d, partial.endPositionMs);
                break;
        }
    }
    return end >= start;
}

// The rows named, sorted, without repeats and without those past the end.
std::vector<std::size_t> ValidRows(std::span<const std::size_t> rows, std::size_t size) {
    std::vector<std::size_t> valid;
    for (std::size_t row : rows) {
        if (row < size)
            valid.push_back(row);
    }
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    return valid;
}

}  // namespace

MergeSortOrder NextSortOrder(MergeSortOrder current, int clickedColumn) {
    if (current.Sorts() && current.column == clickedColumn)
        return {clickedColumn, !current.ascending};
    return {clickedColumn, true};
}

MergeAddOutcome MergeList::AddFile(const std::string& path, std::size_t index,
                                   MergeFileInspector& inspector,
                                   const MergeListDefaults& defaults) {
    MergeAddOutcome outcome;
    std::error_code ec;
    fs::path full = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec)
        full = fs::path(path);

    MergeFileFacts facts;
    UserMessage failure =
        UserMessage(Msg::CannotLoadFile, full.string()).WithReason(ReadErrorOf(full.string()));
    if (!inspector.Inspect(full.string(), facts, failure) || facts.durationMs == 0) {
        outcome.message = std::move(failure);
        return outcome;
    }

    MergeRow row = MergeRow::FromFacts(full.string(), facts);
    if (defaults.applySilence)
        row.silenceSeconds = std::max(0, defaults.silenceSeconds);
    std::uint64_t start = 0, end = 0;
    if (defaults.applyPartial && PartialRangeOf(row.lengthMs, defaults.partial, start, end))
        row.SetRange(start, end);
    index = std::min(index, rows_.size());
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
    if (observer_)
        observer_->RowsInserted(static_cast<int>(index), 1);

    outcome.added = true;
    if (!facts.tagsRead)
        outcome.message = Msg::TagsUnreadable;
    return outcome;
}

void MergeList::ApplyPartialSettings(std::size_t index, const PartialMergeSettings& partial) {
    std::uint64_t start = 0, end = 0;
    if (index < rows_.size() && PartialRangeOf(rows_[index].lengthMs, partial, start, end))
        SetRange(index, start, end);
}

void MergeList::SetRange(std::size_t index, std::uint64_t startMs, std::uint64_t endMs) {
    rows_[index].SetRange(startMs, endMs);
    Changed(index);
}

void MergeList::SetSilence(std::size_t index, int seconds) {
    rows_[index].silenceSeconds = std::clamp(seconds, 0, kMaxSilenceSeconds);
    Changed(index);
}

std::vector<MergeRow> MergeList::Take(const std::vector<std::size_t>& rows) {
    std::vector<MergeRow> taken(rows.size());
    // Runs of adjacent rows, from the last one up, so the earlier indexes stay valid.
    std::size_t end = rows.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] + 1 == rows[begin])
            --begin;
        const std::size_t first = rows[begin];
        const std::size_t count = end - begin;
        if (observer_)
            observer_->RowsAboutToBeRemoved(static_cast<int>(first), static_cast<int>(count));
        auto from = rows_.begin() + static_cast<std::ptrdiff_t>(first);
        std::move(from, from + static_cast<std::ptrdiff_t>(count),
                  taken.begin() + static_cast<std::ptrdiff_t>(begin));
        rows_.erase(from, from + static_cast<std::ptrdiff_t>(count));
        if (observer_)
            observer_->RowsRemoved(static_cast<int>(first), static_cast<int>(count));
        end = begin;
    }
    return taken;
}

std::size_t MergeList::RemoveRows(std::span<const std::size_t> rows) {
    std::vector<std::size_t> valid = ValidRows(rows, rows_.size());
    if (valid.empty())
        return 0;
    Take(valid);
    return valid.front() > 0 ? valid.front() - 1 : 0;
}

std::size_t MergeList::MoveRows(std::span<const std::size_t> rows, std::size_t target) {
    std::vector<std::size_t> valid = ValidRows(rows, rows_.size());
    if (valid.empty())
        return kNoRow;
    const std::size_t count = valid.size();
    target = std::min(target, rows_.size() - count);
    if (valid.front() == target && valid.back() == target + count - 1)
        return target;  // a block already there
    std::vector<MergeRow> block = Take(valid);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(target),
                 std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
    if (observer_)
        observer_->RowsInserted(static_cast<int>(target), static_cast<int>(count));
    return target;
}

std::size_t MergeList::MoveRows(std::span<const std::size_t> rows, MergeMove move) {
    std::vector<std::size_t> valid = ValidRows(rows, rows_.size());
    if (valid.empty())
        return kNoRow;
    std::size_t first = valid.front();
    switch (move) {
        case MergeMove::Up:
            return MoveRows(valid, first > 0 ? first - 1 : 0);
        case MergeMove::Down:
            return MoveRows(valid, first + 1);
        case MergeMove::Top:
            return MoveRows(valid, 0);
        case MergeMove::Bottom:
            break;
    }
    return MoveRows(valid, rows_.size());
}

std::size_t MergeList::SortBy(MergeSortOrder order, std::size_t follow) {
    if (!order.Sorts())
        return follow;
    std::vector<std::size_t> positions(rows_.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    std::stable_sort(positions.begin(), positions.end(), [&](std::size_t a, std::size_t b) {
        int c = CompareRows(rows_[a], rows_[b], order.column);
        return order.ascending ? c < 0 : c > 0;
    });
    std::vector<MergeRow> sorted;
    sorted.reserve(rows_.size());
    std::size_t followed = follow;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] == follow)
            followed = i;
        sorted.push_back(std::move(rows_[positions[i]]));
    }
    rows_ = std::move(sorted);
    if (observer_)
        observer_->ListReset();
    return followed;
}

void MergeList::Clear() {
    rows_.clear();
    if (observer_)
        observer_->ListReset();
}

void MergeList::Changed(std::size_t row) {
    if (observer_)
        observer_->RowChanged(static_cast<int>(row));
}

std::uint64_t MergeList::TotalLengthMs() const {
    std::uint64_t total = 0;
    for (const auto& row : rows_)
        total += row.lengthMs;
    return total;
}

std::uint64_t MergeList::TotalSize() const {
    std::uint64_t total = 0;
    for (const auto& row : rows_)
        total += row.fileSize;
    return total;
}

}  // namespace partita
