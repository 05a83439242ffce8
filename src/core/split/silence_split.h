#pragma once

#include <optional>
#include <string>

#include "app/job_host.h"
#include "split/silence_detector.h"
#include "split/split_list.h"

namespace partita {

// Split by silence on a source of the list, in two steps: a scan that reads the file and not the
// list (it may run on a worker thread beside the window, with the host's progress and stop
// request), then the points applied to the list.

// What the scan of a source needs from its row.
struct SilenceScanSource {
    std::string path;
    std::string fileName;
    bool prescan = false;  // frame split mode: the stream reads the whole file first
};
SilenceScanSource SilenceScanSourceOf(const SplitList& list, RowId source);

// Finds the silences of a source's file, decoded through the audio layer. nullopt when the file
// cannot be decoded (reported); a scan the user stopped is returned with completed false.
std::optional<SilenceScan> ScanSilence(const SilenceScanSource& source,
                                       const SilenceOptions& options, JobHost& host);

// Replaces the source's tracks by those the silences give (the single track [0, duration) when
// none was found), with the left-out silences unchecked. A scan that did not complete changes
// nothing: false.
bool ApplySilenceScan(SplitList& list, RowId source, const SilenceScan& scan);

enum class SilenceRun {
    Done,
    Cancelled,  // the user stopped it; the tracks are unchanged
    NotOpened,  // the file could not be decoded (reported); the tracks are unchanged
};

// Both steps at once.
SilenceRun DetectSilence(SplitList& list, RowId source, PeakBlockSource& peaks,
                         const SilenceOptions& options, JobHost& host);
SilenceRun DetectSilence(SplitList& list, RowId source, const SilenceOptions& options,
                         JobHost& host);

}  // namespace partita
