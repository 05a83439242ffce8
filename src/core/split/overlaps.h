#pragma once

#include <cstdint>
#include <string>

namespace partita {

class SettingsStore;

// Overlaps widen a track when it is cut: the backward overlap starts the cut earlier (not
// before 0), the forward overlap ends it later (not past the source's end), so that
// neighbouring outputs share a little audio.
struct Overlaps {
    std::uint64_t backwardMs = 0;
    std::uint64_t forwardMs = 0;

    bool operator==(const Overlaps&) const = default;
};

// The list's summary of a track's overlaps: NoOverlap, ForwardOverlap, BackwardOverlap or
// ForwardBackwardOverlap, with the times as list time texts.
std::string OverlapSummary(const Overlaps& overlaps);

// The overlap dialog's values (section "Settings"): "FW Overlap", "BW Overlap" and whether they
// are given to every newly added source ("Auto Overlap"); read and stored in split_options.cpp
// with the split side's other settings.
struct OverlapSettings {
    Overlaps overlaps;
    bool automatic = false;

    static OverlapSettings Read(SettingsStore& store);
    // Stores the overlaps; "Auto Overlap" only with `withAutomatic` (the whole-source scope).
    // Loading gives new sources the stored overlaps while "Auto Overlap" is on.
    void Write(SettingsStore& store, bool withAutomatic) const;
};

}  // namespace partita
