#include "split/silence_split.h"

#include "split/stream_peak_source.h"

namespace partita {

SilenceRun DetectSilence(SplitList& list, RowId source, PeakBlockSource& peaks,
                         const SilenceOptions& options, JobHost& host) {
    list.RemoveTracks(source);
    const std::string name = list.Text(source, kColTrack);
    SilenceScan scan = DetectSilence(peaks, options, host, name);
    list.InsertSplitPoint(source, 0);
    for (const SilencePoint& point : scan.points) {
        int index = list.InsertSplitPoint(source, point.ms);
        if (index >= 0 && point.uncheck)
            list.SetSelected(list.Children(source)[static_cast<std::size_t>(index)], false);
    }
    list.SetCurrent(source);
    return scan.completed ? SilenceRun::Done : SilenceRun::Cancelled;
}

SilenceRun DetectSilence(SplitList& list, RowId source, const SilenceOptions& options,
                         JobHost& host) {
    UserMessage failure;
    bool prescan = ParseSplitModeText(list.Text(source, kColMode)) == SplitMode::Frame;
    auto peaks = OpenPeakSource(list.SourcePath(source), prescan, &failure);
    if (!peaks) {
        host.ShowMessage(MessageKind::Error, failure);
        return SilenceRun::NotOpened;
    }
    return DetectSilence(list, source, *peaks, options, host);
}

}  // namespace partita
