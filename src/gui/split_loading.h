#pragma once

#include <string>
#include <vector>

#include "cue/cue_list.h"
#include "split/source_loader.h"
#include "split/split_list.h"

namespace partita {
class JobHost;
}

namespace partita::gui {

// Loads files one after another into `list` as the add-files command and drops do: audio files
// as sources, CUE sheets with their tracks. Loading stops at the first file that is not added
// (it failed, and the user was told why, or the user cancelled it). Returns how many were added.
int LoadFilesInto(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                  SourceProbe& probe, const std::vector<std::string>& paths,
                  const AudioFileChooser& chooseAudio);

// Moves every source of `from` with its tracks, their cells and check states into `to`, each
// into the group of `to`'s current row (the first group; a default one in an empty list), and
// empties `from`. Returns the last source added, or kNoRow.
RowId MoveLoadedSources(SplitList& from, SplitList& to);

}  // namespace partita::gui
