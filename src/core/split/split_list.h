#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "split/split_row.h"

namespace partita {

// A row of the split list. Ids are never reused while the list lives; 0 is no row.
using RowId = std::uint32_t;
inline constexpr RowId kNoRow = 0;

// Told about every change of the list, so a view can follow it. Removals are announced before
// they happen (the rows still exist), insertions after; a changed row is announced once its
// values are new.
class SplitListObserver {
  public:
    virtual ~SplitListObserver() = default;
    virtual void RowsAboutToBeRemoved(RowId parent, int first, int count) = 0;
    virtual void RowsRemoved(RowId parent, int first, int count) = 0;
    virtual void RowsInserted(RowId parent, int first, int count) = 0;
    virtual void RowChanged(RowId row) = 0;
    virtual void ListReset() = 0;
};

// The values a source row is created with (its file name, folder and duration come from the
// path and the loading).
struct SourceRowValues {
    TagTemplates tags;
    Overlaps overlaps;
    SplitMode mode = SplitMode::Auto;
    SourceFormat format;
    std::shared_ptr<const SplitSource> analysis;
};

// Why a boundary move was refused.
enum class TrackUpdate { Done, StartNotBeforeEnd, EndNotAfterStart };

// What became of a cell edited from its text.
enum class CellEdit {
    Done,
    NotEditable,  // the cell is made from other values (a file name, a length of a source,
                  // the mode, which the mode switch changes) or belongs to no value of the row
    InvalidText,  // not a time, or an empty group name
    StartNotBeforeEnd,
    EndNotAfterStart,
};

// The split list: groups at the root, the source files of each group, the tracks of each source,
// each a typed row (SplitRow). The operations keep the tracks of a source in ascending start
// order, each ending where the next one starts. The list has a current row (the one a view shows
// as focused), which operations given no row act on.
//
// A view reads the tree (Groups, Children, Parent, Kind), the typed row (Row) and the text of
// each cell (CellText); it edits a cell from text with EditCell and hears of changes through its
// observer.
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
    RowId Parent(RowId row) const;
    // The groups in order (also the children of kNoRow), or the children of a row in order.
    const std::vector<RowId>& Groups() const { return groups_; }
    const std::vector<RowId>& Children(RowId row) const;
    // 0-based position among its siblings.
    int TrackIndex(RowId row) const;
    int TrackCount(RowId source) const { return static_cast<int>(Children(source).size()); }
    // The source of a source or track row; kNoRow for a group.
    RowId SourceOf(RowId row) const;
    RowId GroupOf(RowId row) const;
    // Folder joined with the file name.
    std::string SourcePath(RowId source) const;
    std::uint64_t SourceDuration(RowId source) const { return Row(source).durationMs; }
    // A track's boundaries; with `withOverlap` widened by its overlaps, not below 0 and not past
    // `sourceDurationMs`.
    TrackTimes GetTrackTimes(RowId track, bool withOverlap,
                             std::uint64_t sourceDurationMs = 0) const;
    // The text a view shows in a cell (see SplitColumn); empty for a cell the row has not.
    std::string CellText(RowId row, int column) const;

    RowId Current() const { return current_; }
    void SetCurrent(RowId row) { current_ = Contains(row) ? row : kNoRow; }

    // --- Editing -------------------------------------------------------------------------
    // Edits a cell from the text typed into it, by the rules of the list: a track's times and
    // length move its boundaries as UpdateTrackStart and UpdateTrackEnd do, overlaps are
    // times, tags are taken as typed, a group's name must not be empty.
    CellEdit EditCell(RowId row, int column, std::string_view text);
    void SetChecked(RowId row, bool checked);
    void SetTags(RowId row, TagTemplates tags);
    void SetOverlaps(RowId row, Overlaps overlaps);
    void RenameGroup(RowId group, std::string name);
    void SetMode(RowId source, SplitMode mode);
    // A source loaded anew: its duration, format and analysis. Its tracks stay as they are.
    void SetSourceFacts(RowId source, std::uint64_t durationMs, const SourceFormat& format,
                        std::shared_ptr<const SplitSource> analysis);

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
    // gaps); its tags and overlaps are copied from the source row.
    RowId AppendTrack(RowId source, TrackTimes times);

    TrackUpdate UpdateTrackStart(RowId track, std::uint64_t ms);
    TrackUpdate UpdateTrackEnd(RowId track, std::uint64_t ms);
    void SetTrackTimes(RowId track, TrackTimes times);

    // Removes a row with its children; the row before it becomes current.
    void Remove(RowId row);
    // Removes every track of the source of `row`.
    void RemoveTracks(RowId row);
    void Clear();

    // Moves a source with its tracks to the end of `group`; false (nothing moves) when `group`
    // is not a group of the list.
    bool MoveToGroup(RowId source, RowId group);

    // The selection toggle: the first use on a row clears its check and its children's, the
    // next use on the same row sets them again. Returns the value set.
    bool ToggleChecked(RowId row);

  private:
    struct Node {
        SplitRow info;
        RowId parent = kNoRow;
        std::vector<RowId> children;
    };

    Node& At(RowId row);
    const Node& At(RowId row) const;
    RowId NewRow(SplitRow info, RowId parent);
    void Erase(RowId row);
    void Changed(RowId row);
    // One split point in one source; see InsertSplitPoint.
    int InsertPoint(RowId source, std::uint64_t ms);
    RowId InsertTrackAt(RowId source, int position, TrackTimes times);
    void RemoveChildren(RowId parent, int first, int count);
    CellEdit EditTrackTimes(RowId track, TrackTimes times);

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
// A time typed in the list's form; nullopt for a text that is not one (an empty text is 0).
std::optional<std::uint64_t> ParseListTime(std::string_view text);

}  // namespace partita
