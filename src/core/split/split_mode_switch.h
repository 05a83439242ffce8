#pragma once

#include <functional>

#include "app/job_host.h"
#include "split/source_loader.h"
#include "split/split_list.h"

namespace partita {

// Switches the split mode of a source, or of every source of a group (`row`; kNoRow: the current
// row), keeping the user's work. A source whose times map otherwise in the new mode (see
// FrameModeInForce) is loaded again in it — with the host's loading progress, whose cancel stops
// the whole switch before anything changed — and gets back the same tracks with their cells
// (tags, overlaps, check states), each clamped to the new duration; a track that reached the old
// end reaches the new one. Only a track that starts at or past the new end is lost: where that
// would happen and `offerSheet` is set (the "Switch Mode Dlg" toggle is on), the user is first
// offered to save the source as a CUE sheet (SwitchModeSaveSheet; OK calls `saveSheet` with the
// source, Cancel goes on without). A source that cannot be loaded again keeps its mode and
// tracks (the user is told why). The row becomes current. False when nothing was switched.
bool SwitchSplitMode(SplitList& list, RowId row, SplitMode mode, SourceProbe& probe, JobHost& host,
                     bool offerSheet, const std::function<void(RowId source)>& saveSheet = {});

}  // namespace partita
