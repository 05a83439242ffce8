#include "split/add_source.h"

#include "cue/cue_sheet.h"
#include "split/chapter_split.h"
#include "split/track_tools.h"

namespace partita {

RowId AddSourcePath(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                    SourceProbe& probe, const std::string& path,
                    const AudioFileChooser& chooseAudio, bool* cancelled) {
    if (IsCueSheetPath(path))
        return AddCueSheetSource(list, defaults, host, probe, path, chooseAudio, cancelled);
    RowId row = LoadSource(list, defaults, host, probe, path, {}, cancelled);
    if (row == kNoRow)
        return row;
    // Chapters are the file's own tracks, as a sheet's are: no special split over them.
    if (!defaults.splitAtChapters ||
        SplitSourceAtChapters(list, row, host, false) != ChapterSplit::Split)
        ApplyAutoSpecialSplit(list, row, defaults);
    return row;
}

}  // namespace partita
