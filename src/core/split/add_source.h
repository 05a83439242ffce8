#pragma once

#include <string>

#include "app/job_host.h"
#include "app/settings_store.h"
#include "cue/cue_list.h"
#include "split/source_loader.h"
#include "split/split_list.h"

namespace partita {

// The add-source operation for one path. An audio file is loaded with the single track
// [0, duration) and, with "Auto Add Special", divided at once; a CUE sheet is added with its
// tracks (see AddCueSheetSource, which asks `chooseAudio` for another audio file when the
// sheet's own cannot be loaded). kNoRow when nothing was added; the user was told why.
RowId AddSourcePath(SplitList& list, SettingsStore& settings, JobHost& host, SourceProbe& probe,
                    const std::string& path, const AudioFileChooser& chooseAudio = {});

}  // namespace partita
