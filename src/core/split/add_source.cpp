#include "split/add_source.h"

#include "cue/cue_sheet.h"
#include "split/track_tools.h"

namespace partita {

RowId AddSourcePath(SplitList& list, SettingsStore& settings, JobHost& host, SourceProbe& probe,
                    const std::string& path, const AudioFileChooser& chooseAudio) {
    if (IsCueSheetPath(path))
        return AddCueSheetSource(list, settings, host, probe, path, chooseAudio);
    RowId row = LoadSource(list, settings, host, probe, path);
    if (row != kNoRow)
        ApplyAutoSpecialSplit(list, row, settings);
    return row;
}

}  // namespace partita
