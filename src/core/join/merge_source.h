#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/job_host.h"
#include "join/merge_list.h"

namespace partita {

// The outcome of a merge: done, failed (its message has been shown), or stopped by the user or
// aborted.
enum class MergeResult { Done = 0, Failed = 1, Stopped = 2 };

// One file of a merge as the engines read it from a list row.
struct MergeSource {
    std::string path;
    std::string name;  // the file name shown in the status text
    PartialRange range;
    int silenceSeconds = 0;
    std::uint64_t lengthMs = 0;  // of the whole file; 0 when unknown
};

// Where a source that was merged lies in the output, in ms of the output's audio: its audio,
// then the silence written after it.
struct MergedPiece {
    std::size_t source = 0;  // its index among the sources
    double audioMs = 0;
    double silenceMs = 0;
};

std::vector<MergeSource> MergeSourcesOf(const MergeList& list);

// The status text of file `index` (0-based) of `count`: MergingFile with the partial or full
// merge mode text.
std::string MergeStatusText(std::size_t index, std::size_t count, const MergeSource& source);

// Whether the user asked to stop and confirmed it (ConfirmStopMerge); a declined request goes on.
bool StopConfirmed(JobHost& host);

}  // namespace partita
