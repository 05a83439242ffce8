#pragma once

#include <cstdint>
#include <string>

namespace partita {

class SettingsStore;

// Overlaps widen a track when it is cut: the backward overlap starts the cut earlier, the
// forward overlap ends it later, so that neighbouring outputs share a little audio.
struct Overlaps {
    std::uint64_t backwardMs = 0;
    std::uint64_t forwardMs = 0;

    bool operator==(const Overlaps&) const = default;
};

// The range cut for a track: start − backward (not below 0) to end + forward (not beyond the
// source's duration).
struct CutRange {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};
CutRange WidenByOverlaps(std::uint64_t start, std::uint64_t end, const Overlaps& overlaps,
                         std::uint64_t durationMs);

// The list's summary of a track's overlaps: strings 268 (none), 269 (forward), 270 (backward),
// 271 (both), with the times as list time texts.
std::string OverlapSummary(const Overlaps& overlaps);

// The overlap dialog's values (section "Settings"): "FW Overlap", "BW Overlap" and whether they
// are given to every newly added source ("Auto Overlap").
struct OverlapSettings {
    Overlaps overlaps;
    bool automatic = false;

    static OverlapSettings Read(SettingsStore& store);
    // Stores the overlaps; "Auto Overlap" only with `withAutomatic` (the whole-source scope).
    void Write(SettingsStore& store, bool withAutomatic) const;
    // What a newly added source starts with: the stored overlaps when "Auto Overlap" is on.
    static Overlaps ForNewSource(SettingsStore& store);
};

}  // namespace partita
