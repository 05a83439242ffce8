#pragma once

#include <string>

#include "app/job_host.h"
#include "cue/cue_list.h"
#include "split/source_loader.h"
#include "split/split_list.h"

namespace partita {

// The add-source operation for one path. An audio file is loaded with the single track
// [0, duration) and, with the automatic special split of the defaults, divided at once (or, with
// their chapter split, given a track per chapter of its tag when it has chapters); a CUE
// sheet is added with its tracks (see AddCueSheetSource, which asks `chooseAudio` for another
// audio file when the sheet's own cannot be loaded). kNoRow when nothing was added: the user was
// told why, or cancelled the loading (`cancelled`).
RowId AddSourcePath(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                    SourceProbe& probe, const std::string& path,
                    const AudioFileChooser& chooseAudio = {}, bool* cancelled = nullptr);

}  // namespace partita
