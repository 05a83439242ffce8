#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "split/split_row.h"

namespace partita {

// A row of the split list. Ids are never reused while the list lives; 0 is no row.
using RowId = std::uint32_t;
inline constexpr RowId kNoRow = 0;

// Told about every change of the list, so a view can follow it. Removals are announced before
// they happen (the rows still exist), insertions after.
class SplitListObserver {
  public:
    virtual ~SplitListObserver() = default;
    virtual void RowsAboutToBeRemoved(RowId parent, int first, int count) = 0;
    virtual void RowsRemoved(RowId parent, int first, int count) = 0;
    virtual void RowsInserted(RowId parent, int first, int count) = 0;
    virtual void RowChanged(RowId row) = 0;
    virtual void ListReset() = 0;
};

// The texts a source row is created with (every column but the file name, the length and the
// folder, which come from the path and the duration).
struct SourceRowValues {
    std::string title, modeText, backOverlap, fwdOverlap, artist, album, genre, year, trackNumber,
        comment;
};

// A track's boundaries in milliseconds.
struct TrackTimes {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    bool operator==(const TrackTimes&) const = default;
};

// Why a boundary move was refused.
enum class TrackUpdate { Done, StartNotBeforeEnd, EndNotAfterStart };

// The split list: groups at the root, the source files of each group, the tracks of each source
// — every value held as the text of its cell and parsed when it is used. The operations keep the
// tracks of a source in ascending start order, each ending where the next one starts. The list
// has a current row (the one a view shows as focused), which operations given no row act on.
class SplitList {
  public:
    SplitList() = default;
    SplitList(const SplitList&) = delete;
    SplitList& operator=(const SplitList&) = delete;

    void SetObserver(SplitListObserver* observer) { observer_ = observer; }

    // --- Reading -------------------------------------------------------------------------
    bool Empty() const { return groups_.empty(); }
    bool Contains(RowId row) const { return nodes_.count(row) != 0; }
    const SplitRow& Row(RowId row) const;
    SplitNodeKind Kind(RowId row) const { return Row(row).kind; }
    const std::string& Text(RowId row, int column) const { return Row(row).Text(column); }
    RowId Parent(RowId row) const;
    // The groups in order, or the children of a row in order.
    const std::vector<RowId>& Groups() const { return groups_; }
    const std::vector<RowId>& Children(RowId row) const;
    // 0-based position among its siblings.
    int TrackIndex(RowId row) const;
    int TrackCount(RowId source) const { return static_cast<int>(Children(source).size()); }
    // The source of a source or track row; kNoRow for a group.
    RowId SourceOf(RowId row) const;
    RowId GroupOf(RowId row) const;
    // Folder (column 12) joined with the file name (column 0).
    std::string SourcePath(RowId source) const;
    // Duration of a source as its column 1 says.
    std::uint64_t SourceDuration(RowId source) const;
    // A track's column 0 parsed; with `withOverlap` widened by the overlaps of columns 4 and 5,
    // not below 0 and not past `sourceDurationMs`.
    TrackTimes GetTrackTimes(RowId track, bool withOverlap,
                             std::uint64_t sourceDurationMs = 0) const;

    RowId Current() const { return current_; }
    void SetCurrent(RowId row) { current_ = Contains(row) ? row : kNoRow; }

    // --- Editing -------------------------------------------------------------------------
    void SetText(RowId row, int column, std::string text);
    void SetSelected(RowId row, bool selected);

    // Creates a group; an empty name becomes "Split Group NN" from the counter of this list.
    RowId AddGroup(std::string name);
    // The name an unnamed group would get now.
    std::string ProposedGroupName() const;
    // True once after the first group of this list was created (the time for the tips box).
    bool TakeFirstGroupCreated();

    // Appends a source to the group of the current row, or to the first group; an empty list
    // gets the default group first. The source has no tracks yet.
    RowId AddSource(const std::string& path, std::uint64_t durationMs,
                    const SourceRowValues& values);

    // Inserts a split point into the source of `row` (every source of a group row). Returns the
    // index of the track that now starts at `ms`, or -1 (at or past the source's end).
    int InsertSplitPoint(RowId row, std::uint64_t ms);
    // Appends a track as given, without the boundary rules (sheets and silence detection leave
    // gaps); its cells are copied from the source row.
    RowId AppendTrack(RowId source, TrackTimes times);

    TrackUpdate UpdateTrackStart(RowId track, std::uint64_t ms);
    TrackUpdate UpdateTrackEnd(RowId track, std::uint64_t ms);
    // Writes column 0 as "start-end" and column 1 as the length.
    void SetTrackTimes(RowId track, TrackTimes times);

    // Removes a row with its children; the row before it becomes current.
    void Remove(RowId row);
    // Removes every track of the source of `row`.
    void RemoveTracks(RowId row);
    void Clear();

    // Moves a source with its tracks to the end of the group named exactly `groupName`; false
    // (nothing moves) when there is no such group.
    bool MoveToGroup(RowId source, const std::string& groupName);

    // The selection toggle: the first use on a row clears it and its children, the next use on
    // the same row sets them again. Returns the value set.
    bool ToggleSelected(RowId row);

  private:
    struct Node {
        SplitRow info;
        RowId parent = kNoRow;
        std::vector<RowId> children;
    };

    Node& At(RowId row);
    const Node& At(RowId row) const;
    std::vector<RowId>& SiblingsOf(RowId row);
    RowId NewRow(SplitRow info, RowId parent);
    void Erase(RowId row);
    void Changed(RowId row);
    // One split point in one source; see InsertSplitPoint.
    int InsertPoint(RowId source, std::uint64_t ms);
    RowId InsertTrackAt(RowId source, int position, TrackTimes times);
    void RemoveChildren(RowId parent, int first, int count);

    std::map<RowId, Node> nodes_;
    std::vector<RowId> groups_;
    RowId nextId_ = 1;
    RowId current_ = kNoRow;
    int groupCounter_ = 1;
    bool firstGroupCreated_ = false;
    RowId lastToggled_ = kNoRow;
    bool lastToggleValue_ = true;
    SplitListObserver* observer_ = nullptr;
};

// The track's start and end times as the list writes them: "start-end" in the list's time form.
std::string TrackTimesText(TrackTimes times);
// Splits a "start-end" text at its first "-" and parses both sides; invalid sides read as 0.
TrackTimes ParseTrackTimesText(const std::string& text);

}  // namespace partita
