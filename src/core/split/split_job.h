#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/job_host.h"
#include "app/settings_store.h"
#include "split/split_list.h"
#include "split/track_cutter.h"

namespace partita {

// What became of one track of a split.
struct SplitTrackReport {
    enum class State {
        Written,       // the output was written
        Planned,       // a dry run: what would be written
        Skipped,       // the output existed and the user kept it
        SameAsSource,  // the output would have been its own source; refused
        Failed,        // the cut failed and the user went on
        NotCut,        // the source cannot be read or its format is not cut
    };
    State state = State::Written;
    std::string sourcePath;
    std::string outPath;
    int trackIndex = 0;  // 0-based among all tracks of the source
    int trackCount = 0;
    TrackTimes times;  // with the overlaps, within the source
    std::optional<ByteRange> bytes;
    TagTexts tags;
};

// A source's outcome: done, nothing to do (no path), stopped by the user (this source), or the
// whole job to end.
enum class SplitFileResult { Done = 0, NothingToDo = 1, SourceStopped = 2, StopAll = 4 };

struct SplitJobOptions {
    // Plan only: name every output and map its bytes, write nothing, ask nothing.
    bool dryRun = false;
    // Told about every selected track as it is done.
    std::function<void(const SplitTrackReport&)> onTrack;
    // Writes the CUE sheet of a source's tracks after the source was split (setting "Export
    // CUE"); false when it could not.
    std::function<bool(const SplitList&, RowId source, const std::string& cuePath)> exportCue;
};

enum class SplitJobStatus {
    Finished,        // the job ran (see the counts for how it went)
    NothingToSplit,  // the list is empty: the caller lets the user add files instead
    NoNamingRule,    // the rule was empty (NamingRuleEmpty shown)
    Cancelled,       // the output folder picker was cancelled
};

struct SplitJobResult {
    SplitJobStatus status = SplitJobStatus::Finished;
    std::string outputFolder;
    int written = 0;
    int failed = 0;  // failed cuts, refused outputs, folders that could not be made
    int skipped = 0;
    bool stopped = false;   // the user stopped a source or the job, or aborted after a failure
    bool startNew = false;  // the caller clears the list and offers to add files
};

// The split job: walks the selected groups, sources and tracks of the list in order, names
// every output, asks before overwriting, cuts each track and reports through the host. The list
// is only read, so a desktop program may run the job on a worker thread while its list stays
// locked for editing; the stop request is read through the host before every track.
class SplitJob {
  public:
    SplitJob(const SplitList& list, SettingsStore& settings, JobHost& host, TrackCutter& cutter,
             SplitJobOptions options = {});

    // The Start command. `namingRule` is the rule as the user typed it; `outputFolder` the
    // page's destination folder (empty: the last one chosen, through the folder question).
    SplitJobResult StartSplit(const std::string& namingRule, std::string outputFolder);

    // Cuts the selected tracks of one source. `rule` has its "%G" replaced; `overwriteAll` is
    // the group's yes-to-all answer.
    SplitFileResult SplitFile(RowId source, const std::string& baseFolder, std::string rule,
                              SplitMode mode, bool& overwriteAll);

    const SplitJobResult& Result() const { return result_; }

  private:
    enum class TrackStep { Next, LeaveSource };
    struct SourceRun;
    TrackStep SplitTrack(SourceRun& run, RowId track, int index, bool& overwriteAll);
    bool RefuseOwnSource(SourceRun& run, SplitTrackReport& report);
    void Report(const SplitTrackReport& report);
    void PostActions(const std::string& outputFolder, bool sameFolder);

    const SplitList& list_;
    SettingsStore& settings_;
    JobHost& host_;
    TrackCutter& cutter_;
    SplitJobOptions options_;
    SplitJobResult result_;
};

}  // namespace partita
