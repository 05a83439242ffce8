#include "split_loading.h"

#include "split/add_source.h"

namespace partita::gui {

int LoadFilesInto(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                  SourceProbe& probe, const std::vector<std::string>& paths,
                  const AudioFileChooser& chooseAudio) {
    int added = 0;
    for (const std::string& path : paths) {
        if (AddSourcePath(list, defaults, host, probe, path, chooseAudio) == kNoRow)
            break;
        ++added;
    }
    return added;
}

RowId MoveLoadedSources(SplitList& from, SplitList& to) {
    RowId last = kNoRow;
    for (RowId group : from.Groups()) {
        for (RowId source : from.Children(group)) {
            const SplitRow& row = from.Row(source);
            SourceRowValues values{row.tags, row.overlaps, row.mode, row.format, row.analysis};
            last = to.AddSource(from.SourcePath(source), row.durationMs, values);
            for (RowId track : from.Children(source)) {
                const SplitRow& trackRow = from.Row(track);
                RowId copy = to.AppendTrack(last, trackRow.times);
                to.SetTags(copy, trackRow.tags);
                to.SetOverlaps(copy, trackRow.overlaps);
                if (!trackRow.checked)
                    to.SetChecked(copy, false);
            }
            if (!row.checked)
                to.SetChecked(last, false);
        }
    }
    from.Clear();
    return last;
}

}  // namespace partita::gui
