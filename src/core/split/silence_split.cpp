#include "split/silence_split.h"

#include "split/stream_peak_source.h"

namespace partita {

SilenceScanSource SilenceScanSourceOf(const SplitList& list, RowId source) {
    const SplitRow& row = list.Row(source);
    return {list.SourcePath(source), row.name, row.mode == SplitMode::Frame};
}

std::optional<SilenceScan> ScanSilence(const SilenceScanSource& source,
                                       const SilenceOptions& options, JobHost& host) {
    UserMessage failure;
    auto peaks = OpenPeakSource(source.path, source.prescan, &failure);
    if (!peaks) {
        host.ShowMessage(MessageKind::Error, failure);
        return std::nullopt;
    }
    return DetectSilence(*peaks, options, host, source.fileName);
}

bool ApplySilenceScan(SplitList& list, RowId source, const SilenceScan& scan) {
    if (!scan.completed)
        return false;
    list.RemoveTracks(source);
    list.InsertSplitPoint(source, 0);
    for (const SilencePoint& point : scan.points) {
        int index = list.InsertSplitPoint(source, point.ms);
        if (index >= 0 && point.uncheck)
            list.SetChecked(list.Children(source)[static_cast<std::size_t>(index)], false);
    }
    list.SetCurrent(source);
    return true;
}

SilenceRun DetectSilence(SplitList& list, RowId source, PeakBlockSource& peaks,
                         const SilenceOptions& options, JobHost& host) {
    SilenceScan scan = DetectSilence(peaks, options, host, list.Row(source).name);
    return ApplySilenceScan(list, source, scan) ? SilenceRun::Done : SilenceRun::Cancelled;
}

SilenceRun DetectSilence(SplitList& list, RowId source, const SilenceOptions& options,
                         JobHost& host) {
    std::optional<SilenceScan> scan = ScanSilence(SilenceScanSourceOf(list, source), options, host);
    if (!scan)
        return SilenceRun::NotOpened;
    return ApplySilenceScan(list, source, *scan) ? SilenceRun::Done : SilenceRun::Cancelled;
}

}  // namespace partita
