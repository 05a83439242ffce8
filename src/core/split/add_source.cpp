#include "split/add_source.h"

#include "cue/cue_sheet.h"
#include "split/chapter_split.h"
#include "split/track_tools.h"

namespace partita {

RowId AddSourcePath(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                    SourceProbe& probe, const std::string& path,
                    const AudioFileChooser& chooseAudio, bool* cancelled) {
    RowId row = kNoRow;
    if (IsCueSheetPath(path)) {
        row = AddCueSheetSource(list, defaults, host, probe, path, chooseAudio, cancelled);
    } else {
        row = LoadSource(list, defaults, host, probe, path, {}, cancelled);
        // Chapters are the file's own tracks, as a sheet's are: no special split over them.
        if (row != kNoRow && (!defaults.splitAtChapters ||
                              SplitSourceAtChapters(list, row, host, false) != ChapterSplit::Split))
            ApplyAutoSpecialSplit(list, row, defaults);
    }
    // The first group of the run may be the default one made for this file: the tips about
    // groups come with it, not with the next group the user makes.
    if (list.TakeFirstGroupCreated())
        host.ShowInfoWithToggle(Msg::SplitGroupTips, "Split Tips Dlg", false);
    return row;
}

}  // namespace partita
