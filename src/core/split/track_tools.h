#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/job_host.h"
#include "split/overlaps.h"
#include "split/source_loader.h"
#include "split/special_split.h"
#include "split/split_list.h"

namespace partita {

// The list operations of special split and overlaps.

// Inserts split points dividing [start, end) of the source of `row` into `count` equal parts.
void SplitEqualParts(SplitList& list, RowId row, int count, std::uint64_t start, std::uint64_t end);
// Inserts split points every `step` ms after `start`, before `end`.
void SplitByTime(SplitList& list, RowId row, std::uint64_t step, std::uint64_t start,
                 std::uint64_t end);

// The length the special split dialog divides for a row: a group counts as 100 hours, a source
// (or a track with the whole-source scope) as the source's duration, a track with the track
// scope as the track's length.
std::uint64_t SpecialScopeLength(const SplitList& list, RowId row, SpecialSplitScope scope);

// Applies a validated special split to `row`. Whole scope: a source (or the source of a track)
// loses its tracks and is divided from 0 to its end; a group, after the user agrees to string
// 151, has each of its sources so divided. Track scope: the track is divided, the other points
// stay. Afterwards the source (or group) is the current row. False when the user declined.
bool ApplySpecialSplit(SplitList& list, RowId row, const SpecialSplitRequest& request,
                       JobHost& host);

// Divides a newly added source as the defaults' automatic special split says (equal parts or
// pieces of a length); a piece length that would make more than 999 pieces is not applied.
void ApplyAutoSpecialSplit(SplitList& list, RowId source, const SourceLoadDefaults& defaults);

// Where the overlap command writes: every item of the source or group, the selected item, or
// the sections (track numbers and ranges such as "1,3,6-8") of its source.
enum class OverlapScope { Whole = 0, SelectedItem = 1, Sections = 2 };

// Track numbers (1-based) of a section list such as "1,3,6-8"; parts that are not numbers or
// ranges are passed over.
std::vector<int> ParseSectionList(std::string_view text);

// Writes both overlap columns. Whole: every track of the source of `row`, then the source
// itself, or for a group every source and track in it. SelectedItem: `row` only. Sections: the
// listed tracks of the source of `row`, or `row` only when the list names none. A group gets
// them in every source and track whatever the scope.
void ApplyOverlaps(SplitList& list, RowId row, const Overlaps& overlaps, OverlapScope scope,
                   std::string_view sections = {});

}  // namespace partita
