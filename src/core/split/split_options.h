#pragma once

#include "app/settings_store.h"
#include "split/source_loader.h"
#include "split/split_job.h"

namespace partita {

// The split side reads its settings here and nowhere else: the pages build these values when a
// command runs, and the jobs and list operations take them.

// The choices of a split run: naming rule, output folder and the folder question, same folder,
// overwrite question, counting, the cut (VBR header, sample accuracy, code page), CUE export and
// the post actions.
SplitJobOptions SplitJobOptionsFromSettings(SettingsStore& settings);

// Stores what a split run leaves for the next one: the naming rule it started with (unless it
// did not start for want of one, or of sources) and the output folder it wrote to. (The boxes'
// ticks are stored by the host that shows them.)
void StoreSplitJobReplies(const SplitJobOptions& options, const SplitJobResult& result,
                          SettingsStore& settings);

// What newly loaded sources get: the automatic overlaps, title sequence, track number and
// special split, the split mode and the legacy code page.
SourceLoadDefaults SourceLoadDefaultsFromSettings(SettingsStore& settings);

}  // namespace partita
