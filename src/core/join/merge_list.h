#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/user_message.h"
#include "join/merge_row.h"

namespace partita {

// Told about every change of the merge list, so a view can follow it. Removals are announced
// before they happen (the rows still exist), insertions after. A move is a removal followed by
// an insertion; a sort or a clear is a reset.
class MergeListObserver {
  public:
    virtual ~MergeListObserver() = default;
    virtual void RowsAboutToBeRemoved(int first, int count) = 0;
    virtual void RowsRemoved(int first, int count) = 0;
    virtual void RowsInserted(int first, int count) = 0;
    virtual void RowChanged(int row) = 0;
    virtual void ListReset() = 0;
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

// The partial-merge settings: whether a range is set, and how its end is found.
struct PartialMergeSettings {
    enum class EndMode { Position = 0, LengthBeforeEnd = 1, LengthFromStart = 2 };
    bool enabled = false;
    EndMode mode = EndMode::Position;
    std::uint64_t startMs = 0;
    std::uint64_t endPositionMs = 60'000;
    std::uint64_t lengthBeforeEndMs = 60'000;
    std::uint64_t lengthFromStartMs = 60'000;
};

// The column the list is sorted by and its direction; a column outside 0..16 leaves the list
// unsorted.
struct MergeSortOrder {
    int column = kMergeFileName;
    bool ascending = true;
    bool Sorts() const { return column >= 0 && column < kMergeColumnCount; }
};

// The order after a click on a column header: the same column turns round, another one sorts
// ascending.
MergeSortOrder NextSortOrder(MergeSortOrder current, int clickedColumn);

// What the list operations take from the stored settings (see ReadMergeListDefaults).
struct MergeListDefaults {
    bool applySilence = false;  // new rows get `silenceSeconds`
    int silenceSeconds = 0;     // also the silence dialog's start value
    bool applyPartial = false;  // new rows get the `partial` range
    PartialMergeSettings partial;
    MergeSortOrder sort;                        // the order a batch of adds is sorted in
    std::string legacyCodePage = "ISO-8859-1";  // list files that are not UTF-8
};

// The outcome of adding one file: whether a row was made, and a message to show (a failed
// inspection, or TagsUnreadable when the row was added without its tags).
struct MergeAddOutcome {
    bool added = false;
    std::optional<UserMessage> message;
};

// The longest silence a row holds: an hour. Longer values (a damaged list, a typing slip) would
// write silent frames for days.
constexpr int kMaxSilenceSeconds = 3600;

// Where a move sends a block of rows: one row up or down, to the top or the bottom.
enum class MergeMove { Up, Down, Top, Bottom };

// The ordered list of files to join. The same file may appear in several rows. Rows are read
// freely and changed only through the list, which tells its observer.
class MergeList {
  public:
    static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

    void SetObserver(MergeListObserver* observer) { observer_ = observer; }

    std::size_t Size() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    const MergeRow& Row(std::size_t i) const { return rows_[i]; }
    const std::vector<MergeRow>& Rows() const { return rows_; }
    std::string Text(std::size_t row, int column) const { return rows_[row].Text(column); }

    // Inspects the file and inserts its row at `index` (clamped to the end), with the default
    // silence and partial range when those apply to new rows.
    MergeAddOutcome AddFile(const std::string& path, std::size_t index,
                            MergeFileInspector& inspector, const MergeListDefaults& defaults);
    // Applies the partial-merge settings to a row, according to its own length; a range whose
    // end would fall before its start leaves the row as it was.
    void ApplyPartialSettings(std::size_t row, const PartialMergeSettings& partial);
    // Sets a row's range (ms, kept to the second) or silence (below 0 reads as none; cut to
    // kMaxSilenceSeconds).
    void SetRange(std::size_t row, std::uint64_t startMs, std::uint64_t endMs);
    void SetSilence(std::size_t row, int seconds);

    // Removes the rows named (any order; repeats and rows past the end are ignored). Returns
    // the row to select next: the one before the first removed, or row 0.
    std::size_t RemoveRows(std::span<const std::size_t> rows);
    // Moves the rows named, in list order, as one block whose first row lands at `target`
    // (in the list after the move; clamped so the block fits). Returns the block's new first
    // row, or kNoRow when no row is named.
    std::size_t MoveRows(std::span<const std::size_t> rows, std::size_t target);
    // The same to one row above or below the block's first row, to the top or to the bottom.
    std::size_t MoveRows(std::span<const std::size_t> rows, MergeMove move);
    // Sorts by the order's column, keeping rows that compare equal in their order (nothing
    // happens for an unsorted order). Times and numbers compare as numbers, texts without
    // letter case. Returns where row `follow` went.
    std::size_t SortBy(MergeSortOrder order, std::size_t follow = kNoRow);
    void Clear();

    // Sum of the rows' lengths (whole seconds each), and of their file sizes.
    std::uint64_t TotalLengthMs() const;
    std::uint64_t TotalSize() const;

  private:
    // Takes the rows (sorted, unique, in range) out of the list, announcing each run removed;
    // returns them in list order.
    std::vector<MergeRow> Take(const std::vector<std::size_t>& rows);
    void Changed(std::size_t row);

    std::vector<MergeRow> rows_;
    MergeListObserver* observer_ = nullptr;
};

}  // namespace partita
