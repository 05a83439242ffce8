#pragma once

#include <QRect>
#include <optional>

namespace partita {
class SettingsStore;
}

namespace partita::gui {

// The main window's stored placement: left and top of the frame, width and height of the
// window. -999 in any of them means nothing was stored.
struct StoredPlacement {
    int x = -999;
    int y = -999;
    int width = -999;
    int height = -999;
};

StoredPlacement ReadPlacement(SettingsStore& store);
void StorePlacement(SettingsStore& store, const StoredPlacement& placement);

// Where the window goes for a stored placement on a desktop: nothing when the placement was
// never stored (the window keeps its own), else the stored rectangle with a left or top that
// lies outside the desktop pulled back to the desktop's edge, each axis on its own; width and
// height stay as stored.
std::optional<QRect> RestoredGeometry(const StoredPlacement& placement, const QRect& desktop);

}  // namespace partita::gui
