#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/job_host.h"
#include "app/settings_store.h"
#include "split/overlaps.h"
#include "split/silence_detector.h"
#include "split/source_loader.h"
#include "split/special_split.h"
#include "split/split_list.h"

namespace CLI {
class App;
}

namespace partita::cli {

// The options of `split` and `cue` that make a source's tracks: equal parts, fixed lengths,
// silences, and the overlaps of every track.
struct TrackOptions {
    std::optional<int> parts;
    std::optional<std::string> every;
    bool silence = false;
    std::optional<double> silenceLevelDb;
    std::optional<int> silenceLengthMs;
    bool excludeSilence = false;
    std::optional<std::string> overlapBefore;
    std::optional<std::string> overlapAfter;
    bool chapters = false;
};

void AddTrackOptions(CLI::App& command, TrackOptions& options);

// The options read: what each source gets.
struct TrackPlan {
    std::optional<SpecialSplitRequest> special;
    bool silence = false;
    SilenceOptions silenceOptions;
    std::optional<Overlaps> overlaps;
    bool chapters = false;  // one track per chapter of the source's tag
};

// Reads the options (the silence values over the stored settings); on a wrong value prints why
// to `err`, prefixed with the command's name, and returns nullopt.
std::optional<TrackPlan> ReadTrackOptions(const TrackOptions& options, SettingsStore& settings,
                                          std::ostream& err, const std::string& commandName);

// What became of one source.
enum class TrackSourceResult { Added, Failed, Stopped };

// Adds a path as the desktop program does (a CUE sheet with its tracks, an audio file with the
// automatic special split of the defaults), then gives it the plan's tracks and overlaps.
// `source` receives the row when it was added; a source whose tracks cannot be made as asked
// (a part length the source refuses, a file that cannot be decoded, no chapters to split at) is
// reported and removed. A
// load stopped by an interrupt is Stopped.
TrackSourceResult AddTrackSource(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                                 SourceProbe& probe, const std::string& path, const TrackPlan& plan,
                                 RowId& source);

}  // namespace partita::cli
