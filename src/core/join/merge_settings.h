#pragma once

#include "app/settings_store.h"
#include "join/merge_job.h"
#include "join/merge_list.h"

namespace partita {

// Where the joiner's stored settings meet the merge: the job and the list operations take
// values built here and never read the store themselves.

// The merge job's choices as stored: "Merge Mode", "Output Samplerate", "Output Channel",
// "Gapless Merge", the two tag switches and, when "Save ID3 TAG" is set, the kept tag texts of
// section "Joiner MP3 ID3" (else empty texts and the default comment); the output's folders and
// name; "Joiner Confirm Overwrite", the "Merge Diff Params Dlg" toggle, "Joiner Show Success",
// "Joiner Auto Open Folder", "Joiner Play Result", "Start New Merge"; "Install Path" and
// "Legacy Code Page"; "Write Chapters".
MergeJobOptions ReadMergeJobOptions(SettingsStore& settings);

// The list operations' defaults as stored: the silence and partial-merge settings of section
// "MP3 Joiner", the sort order ("Sorting Column of Joiner", "Sorting Dir" 1 = ascending) and
// "Legacy Code Page".
MergeListDefaults ReadMergeListDefaults(SettingsStore& settings);

// Stores what the user answered in a merge job's boxes: the output chosen in the save dialog
// (its name and folder), the overwrite box's tick, and the completion box's "start new merge"
// and "don't show again" ticks.
void StoreMergeJobReplies(const MergeJobOutcome& outcome, SettingsStore& settings);

// Stores the order after a click on a column header.
void StoreMergeSortOrder(const MergeSortOrder& order, SettingsStore& settings);

}  // namespace partita
