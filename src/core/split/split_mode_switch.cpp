#include "split/split_mode_switch.h"

#include <algorithm>
#include <vector>

namespace partita {
namespace {

// A source loaded again for the new mode.
struct Reloaded {
    RowId source = kNoRow;
    SourceFacts facts;
};

bool LosesTracks(const SplitList& list, const Reloaded& reloaded) {
    const auto& tracks = list.Children(reloaded.source);
    return std::any_of(tracks.begin(), tracks.end(), [&](RowId track) {
        return list.Row(track).times.start >= reloaded.facts.durationMs;
    });
}

// The source's new facts, and its tracks again within the new duration.
void Restore(SplitList& list, const Reloaded& reloaded) {
    const RowId source = reloaded.source;
    const std::uint64_t oldDuration = list.SourceDuration(source);
    const std::uint64_t newDuration = reloaded.facts.durationMs;
    std::vector<SplitRow> tracks;
    for (RowId track : list.Children(source))
        tracks.push_back(list.Row(track));
    list.RemoveTracks(source);
    list.SetSourceFacts(source, newDuration, reloaded.facts.format, reloaded.facts.analysis);
    for (const SplitRow& kept : tracks) {
        if (kept.times.start >= newDuration)
            continue;
        const std::uint64_t end =
            kept.times.end >= oldDuration ? newDuration : std::min(kept.times.end, newDuration);
        RowId track = list.AppendTrack(source, {kept.times.start, end});
        list.SetTags(track, kept.tags);
        list.SetOverlaps(track, kept.overlaps);
        list.SetChecked(track, kept.checked);
    }
}

}  // namespace

bool SwitchSplitMode(SplitList& list, RowId row, SplitMode mode, SourceProbe& probe, JobHost& host,
                     bool offerSheet, const std::function<void(RowId source)>& saveSheet) {
    if (row == kNoRow)
        row = list.Current();
    if (!list.Contains(row))
        return false;
    std::vector<RowId> sources = list.Kind(row) == SplitNodeKind::Group
                                     ? list.Children(row)
                                     : std::vector<RowId>{list.SourceOf(row)};

    // Load first, change afterwards: a cancelled load leaves everything as it was.
    std::vector<RowId> switched;
    std::vector<Reloaded> reloaded;
    for (RowId source : sources) {
        const SplitRow& info = list.Row(source);
        if (FrameModeInForce(info.format, info.mode) == FrameModeInForce(info.format, mode)) {
            switched.push_back(source);
            continue;
        }
        bool cancelled = false;
        std::optional<SourceFacts> facts =
            ProbeTelling(probe, host, list.SourcePath(source), mode, &cancelled);
        if (cancelled)
            return false;
        if (facts) {
            switched.push_back(source);
            reloaded.push_back({source, std::move(*facts)});
        }
    }

    if (offerSheet) {
        bool asked = false;
        for (const Reloaded& r : reloaded) {
            if (!LosesTracks(list, r))
                continue;
            if (!asked &&
                !host.ShowInfoWithToggle(Msg::SwitchModeSaveSheet, "Switch Mode Dlg", true))
                break;
            asked = true;
            if (saveSheet)
                saveSheet(r.source);
        }
    }

    for (RowId source : switched)
        list.SetMode(source, mode);
    for (const Reloaded& r : reloaded)
        Restore(list, r);
    list.SetCurrent(row);
    return !switched.empty();
}

}  // namespace partita
