#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/job_host.h"
#include "app/settings_store.h"
#include "audio/audio_type.h"
#include "split/split_list.h"
#include "split/track_cutter.h"

namespace partita {

// The title pattern loading gives MPEG sources, so that every track is titled by its number.
inline constexpr std::string_view kAutoSequenceTitle = "[音轨 %S]";

// What loading learns of a source file.
struct SourceFacts {
    audio::AudioType audioType = audio::AudioType::Unknown;
    std::uint64_t durationMs = 0;
    bool tagsRead = true;  // false: the tags could not be read (the values stay empty)
    TagTexts tags;
};

// Values a loader brings along (a CUE sheet's), taking precedence over the settings' defaults.
struct SourcePreset {
    std::optional<std::string> backOverlap;
    std::optional<std::string> fwdOverlap;
    std::optional<std::string> modeText;
};

// Finds the facts of a file; nullopt when it cannot be loaded, with `failure` (which callers
// start as CannotLoadFile) set to the reason when the probe knows a better one.
class SourceProbe {
  public:
    virtual ~SourceProbe() = default;
    virtual std::optional<SourceFacts> Probe(const std::string& path, UserMessage* failure) = 0;
};

// The cells of a newly loaded source: its tags, the overlaps of "Auto Overlap", the automatic
// title sequence and track number of MPEG sources, the default split mode.
SourceRowValues NewSourceValues(SettingsStore& settings, const SourceFacts& facts,
                                const SourcePreset& preset = {});

// Adds a probed source to the list (into the group of the current row) with the single track
// [0, duration). Returns its row.
RowId AddLoadedSource(SplitList& list, SettingsStore& settings, const std::string& path,
                      const SourceFacts& facts, const SourcePreset& preset = {});

// Probes and adds a file, telling the user why when it cannot be loaded (CannotLoadFile or the
// probe's reason) or its tags cannot be read (TagsUnreadable). kNoRow when it was not added.
RowId LoadSource(SplitList& list, SettingsStore& settings, JobHost& host, SourceProbe& probe,
                 const std::string& path, const SourcePreset& preset = {});

}  // namespace partita
