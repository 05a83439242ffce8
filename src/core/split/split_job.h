#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/job_host.h"
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
    std::string reason;  // Failed, NotCut: why, as the system said it (empty when unknown)
};

// A source's outcome: done, nothing to do (no path), stopped by the user (this source), or the
// whole job to end.
enum class SplitFileResult { Done = 0, NothingToDo = 1, SourceStopped = 2, StopAll = 4 };

// Every choice of a split run. The desktop builds it from the settings with
// SplitJobOptionsFromSettings (split_options.h); the command line from its flags.
// The source byte a cut at a time (ms) begins at; nullopt when the source is not cut.
using CutPosition = std::function<std::optional<std::uint64_t>(std::uint64_t ms)>;

struct SplitJobOptions {
    std::string namingRule;           // the rule as the user typed it
    std::string outputFolder;         // the page's output folder (empty: ask)
    std::string lastOutputFolder;     // where the folder question starts without one
    bool confirmOutputFolder = true;  // ask for the folder even when one is set
    bool sameFolder = false;          // every output next to its source
    bool confirmOverwrite = true;     // ask before replacing an existing output
    bool countGenerated = false;      // sequence numbers count only the tracks cut
    CutOptions cut;                   // VBR header, sample-accurate cuts, ID3v1 code page
    bool exportCue = false;           // a CUE sheet of each source split to its end
    bool showSuccess = true;          // the completion box after a split that wrote every track
    bool openFolder = false;          // open the output folder afterwards
    bool startNewSplit = false;       // clear the list afterwards (only after a full success)
    // Plan only: name every output and map its bytes, write nothing, ask nothing.
    bool dryRun = false;
    // Told about every selected track as it is done.
    std::function<void(const SplitTrackReport&)> onTrack;
    // Writes the CUE sheet of a source's tracks after the source was split (with exportCue);
    // false when it could not. `cutAt` gives the source byte where a cut at a time begins, so
    // that the sheet's times read back as the cuts made.
    std::function<bool(const SplitList&, RowId source, const std::string& cuePath,
                       const CutPosition& cutAt)>
        writeCueSheet;
};

enum class SplitJobStatus {
    Finished,        // the job ran (see the counts for how it went)
    NothingToSplit,  // the list is empty: the caller lets the user add files instead
    NoNamingRule,    // the rule was empty (NamingRuleEmpty shown)
    Cancelled,       // the output folder picker was cancelled
};

struct SplitJobResult {
    SplitJobStatus status = SplitJobStatus::Finished;
    std::string outputFolder;  // the folder used: the caller remembers it for the next split
    int written = 0;
    int failed = 0;   // failed cuts, refused outputs, folders that could not be made, the tracks
                      // of sources that could not be read or are not cut
    int skipped = 0;  // existing outputs kept
    int notDone = 0;  // selected tracks never reached: the job stopped before them
    std::vector<std::string> unreadableSources;
    bool stopped = false;   // the user stopped a source or the job, or aborted after a failure
    bool startNew = false;  // the caller clears the list and offers to add files
    // The user's ticks (the host that showed the boxes stored them): whether to ask before
    // overwriting, when the overwrite box was shown, and the completion box's reply.
    std::optional<bool> confirmOverwrite;
    std::optional<CompletionReply> completion;

    // Whether every selected track was written: only then may the list be cleared.
    bool WroteEveryTrack() const {
        return status == SplitJobStatus::Finished && written > 0 && failed == 0 && skipped == 0 &&
               notDone == 0 && !stopped;
    }
};

// The split job: walks the selected groups, sources and tracks of the list in order, names
// every output, asks before overwriting, cuts each track and reports through the host. It ends
// with a completion report: the success box (as the options say) after a split that wrote every
// track, else, always, a report of what was written, failed, skipped or left undone.
//
// Threads: the desktop runs StartSplit on a worker thread while its window stays live. The job
// reads only its options and the list, which the page keeps unchanged (its editing commands
// disabled) until StartSplit returns; it never reads or writes the settings and never changes the
// list. The caller applies the result on its own thread: it stores the rule and the folder
// (StoreSplitJobReplies) and clears the list when the result says startNew. Every host call, and
// onTrack and writeCueSheet, come from that worker thread (see JobHost); the stop request is read
// before every track and while a source's frame index is built.
class SplitJob {
  public:
    SplitJob(const SplitList& list, JobHost& host, TrackCutter& cutter, SplitJobOptions options);

    // The Start command.
    SplitJobResult StartSplit();

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
    // The stop question; false when the source or the job is to stop.
    bool GoOnAfterStopRequest(SourceRun& run);
    void Report(const SplitTrackReport& report);
    void PostActions(const std::string& outputFolder, bool sameFolder);

    const SplitList& list_;
    JobHost& host_;
    TrackCutter& cutter_;
    SplitJobOptions options_;
    SplitJobResult result_;
    int reported_ = 0;
};

}  // namespace partita
