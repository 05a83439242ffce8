#pragma once

#include <vector>

#include "app/job_host.h"
#include "split/split_list.h"

namespace partita {

// Chapter marks as a track source, the way a CUE sheet is one: an MPEG source whose ID3v2 tag
// holds chapters (CHAP frames, in the order of its table of contents) gets one track per
// chapter with the chapter's times, and its title and artist where the chapter has them (else
// the source's, as every new track gets). Audio outside every chapter becomes an unchecked,
// untitled track, as a sheet's pregap does. Each chapter left out (times out of order, past the
// end of the audio, missing from the table) is reported as a warning with its number and title;
// its times are never guessed.

enum class ChapterSplit {
    Split,       // the source's tracks are its chapters now
    NoChapters,  // no usable chapter (or not an MPEG source): the tracks are unchanged
};

// Replaces the tracks of `source` by its chapters. A source without usable chapters keeps its
// tracks; `tellNoChapters` says so to the user (NoChaptersToSplitAt), as a command does and
// loading does not. The source becomes the current row when it was split.
ChapterSplit SplitSourceAtChapters(SplitList& list, RowId source, JobHost& host,
                                   bool tellNoChapters);

// The "Split at chapters" command on the selected rows: every source among them (a group row
// stands for its sources, a track row for its source; each source once) is split at its
// chapters, and each one without chapters is named. Returns how many sources were split.
int SplitRowsAtChapters(SplitList& list, const std::vector<RowId>& rows, JobHost& host);

}  // namespace partita
