#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/job_host.h"
#include "split/split_list.h"

namespace partita {

// The list operations that speak to the user, through the same host as the jobs: a view calls
// these and the list model alone stays silent.

// Creates a group; the first group of the list brings the tips box (SplitGroupTips, toggle
// "Split Tips Dlg").
RowId AddGroupTelling(SplitList& list, JobHost& host, const std::string& name);

// Removes the current row with its children. A group is removed only after the user confirms
// (ConfirmRemoveGroup). True when a row was removed.
bool RemoveCurrentRow(SplitList& list, JobHost& host);

// Empties the list once the user confirms (ConfirmClearSplitList, toggle "Split Clear All Dlg").
// True when it was cleared.
bool ClearSplitList(SplitList& list, JobHost& host);

// Moves one boundary of a track, telling the user why when the time is refused (StartNotBeforeEnd,
// EndNotAfterStart). True when the list changed.
bool MoveTrackStart(SplitList& list, JobHost& host, RowId track, std::uint64_t ms);
bool MoveTrackEnd(SplitList& list, JobHost& host, RowId track, std::uint64_t ms);

// Edits a cell from the text typed into it (SplitList::EditCell), telling the user why a moved
// boundary was refused (StartNotBeforeEnd, EndNotAfterStart); any other refusal keeps the cell
// as it was without a word. True when the row changed.
bool EditCellTelling(SplitList& list, JobHost& host, RowId row, int column, std::string_view text);

// The caption of the track boundary editor: "Track #NN/NN:" (TrackNumberLabel), 1-based.
std::string TrackCaption(const SplitList& list, RowId track);

}  // namespace partita
