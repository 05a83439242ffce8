#pragma once

#include "app/job_host.h"
#include "split/silence_detector.h"
#include "split/split_list.h"

namespace partita {

enum class SilenceRun {
    Done,
    Cancelled,  // the user stopped it; the points found until then stay
    NotOpened,  // the file could not be decoded (reported); the tracks are unchanged
};

// Split by silence on a source of the list: the source's tracks are replaced by those the
// silences give (the single track [0, duration) when none is found), with the left-out
// silences unchecked.
SilenceRun DetectSilence(SplitList& list, RowId source, PeakBlockSource& peaks,
                         const SilenceOptions& options, JobHost& host);

// The same on the source's file, decoded through the audio layer (pre-scanned in frame split
// mode, so that positions are exact).
SilenceRun DetectSilence(SplitList& list, RowId source, const SilenceOptions& options,
                         JobHost& host);

}  // namespace partita
