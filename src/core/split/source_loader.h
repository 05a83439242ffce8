#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/job_host.h"
#include "audio/audio_type.h"
#include "split/special_split.h"
#include "split/split_list.h"
#include "split/track_cutter.h"

namespace partita {

// The title pattern loading gives MPEG sources, so that every track is titled by its number.
inline constexpr std::string_view kAutoSequenceTitle = "[音轨 %S]";
inline constexpr std::string_view kAutoSequenceTitleEnglish = "[Track %S]";
// The pattern in the interface's language: an English title stays Latin-1, so its ID3v1 tag
// holds it (a Chinese pattern there would read "[?? 001]").
std::string_view AutoSequenceTitle();

// What a newly loaded source gets besides what its file says (built from the settings by
// SourceLoadDefaultsFromSettings).
// What a sheet's pregap (the stretch from a track's INDEX 00 to its INDEX 01) becomes: a track
// of its own left unchecked and untitled (Skip), the end of the track before it (Previous, as
// players of ripped discs play it), or a track of its own that is split too (Separate).
enum class PregapMode { Skip, Previous, Separate };

struct SourceLoadDefaults {
    Overlaps overlaps;                  // "FW Overlap"/"BW Overlap" while "Auto Overlap" is on
    bool autoSequenceTitle = true;      // MPEG and WAV: "[音轨 %S]" after the title
    bool autoTrackNumber = true;        // MPEG and WAV: "%S" as the track number ...
    bool autoTrackOnlyIfEmpty = false;  // ... only where the file has none
    // Tracks made at once ("Auto Add Special"): equal parts or pieces of a length. A piece
    // length that would make more than 999 pieces of a source is not applied to it.
    std::optional<SpecialSplitRequest> autoSpecial;
    // An MPEG file whose tag holds chapters gets one track per chapter instead ("Split At
    // Chapters"); the automatic special split is then not applied.
    bool splitAtChapters = false;
    SplitMode mode = SplitMode::Auto;       // "Split Mode"
    std::string codePage = "ISO-8859-1";    // ID3v1 texts and sheets ("Legacy Code Page")
    PregapMode pregaps = PregapMode::Skip;  // sheets' INDEX 00 stretches
};

// What loading learns of a source file.
struct SourceFacts {
    audio::AudioType audioType = audio::AudioType::Unknown;
    std::uint64_t durationMs = 0;
    bool tagsRead = true;  // false: the tags could not be read (the values stay empty)
    TagTexts tags;
    SourceFormat format;
    // The analysis the facts come from (MPEG and WAV), kept with the row for the track sizes.
    std::shared_ptr<const SplitSource> analysis;
};

// Values a loader brings along (a CUE sheet's), taking precedence over the defaults.
struct SourcePreset {
    std::optional<std::uint64_t> backOverlapMs;
    std::optional<std::uint64_t> fwdOverlapMs;
    std::optional<SplitMode> mode;
};

// Told the share (0-100) of a long step of loading done so far (the frame index of a source
// split frame by frame); returns false to stop it.
using LoadProgress = PrepareProgress;

// Why a file gave no facts.
struct ProbeFailure {
    UserMessage message;     // what to tell the user; callers start it as CannotLoadFile
    bool cancelled = false;  // the progress callback stopped it: nothing to tell
};

// Finds the facts of a file as analysed in `mode`; nullopt when it cannot be loaded, with
// `failure` saying why.
class SourceProbe {
  public:
    virtual ~SourceProbe() = default;
    virtual std::optional<SourceFacts> Probe(const std::string& path, SplitMode mode,
                                             const LoadProgress& progress,
                                             ProbeFailure* failure) = 0;
};

// The cells of a newly loaded source: its tags, the default overlaps, the automatic title
// sequence and track number of MPEG sources, the default split mode; the preset's values win.
SourceRowValues NewSourceValues(const SourceLoadDefaults& defaults, const SourceFacts& facts,
                                const SourcePreset& preset = {});

// Adds a probed source to the list (into the group of the current row) with the single track
// [0, duration). Returns its row.
RowId AddLoadedSource(SplitList& list, const SourceLoadDefaults& defaults, const std::string& path,
                      const SourceFacts& facts, const SourcePreset& preset = {});

// Probes `path` in `mode`. A long analysis (a frame index) reports through the host: the status
// LoadingFramesTip, the share done as progress (range 100, back to 0 at the end) and the stop
// request as its cancel, so a page shows the loading dialog with a Cancel button.
std::optional<SourceFacts> ProbeWithHost(SourceProbe& probe, JobHost& host, const std::string& path,
                                         SplitMode mode, ProbeFailure* failure);
// The same, telling the user why a file cannot be loaded (CannotLoadFile or the probe's reason)
// unless the load was cancelled; `cancelled` says which.
std::optional<SourceFacts> ProbeTelling(SourceProbe& probe, JobHost& host, const std::string& path,
                                        SplitMode mode, bool* cancelled = nullptr);

// Probes and adds a file in the preset's mode (else the default one), telling the user why when
// it cannot be loaded or its tags cannot be read (TagsUnreadable). kNoRow when it was not added;
// a load the user cancelled adds nothing and tells nothing (`cancelled` says so).
RowId LoadSource(SplitList& list, const SourceLoadDefaults& defaults, JobHost& host,
                 SourceProbe& probe, const std::string& path, const SourcePreset& preset = {},
                 bool* cancelled = nullptr);

}  // namespace partita
