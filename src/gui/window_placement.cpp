#include "window_placement.h"

#include "app/setting_values.h"

namespace partita::gui {
namespace {

constexpr int kNotStored = -999;

// A coordinate before the start of its axis or at or past its end moves to the start.
int Clamp(int value, int start, int length) {
    return value < start || value >= start + length ? start : value;
}

}  // namespace

StoredPlacement ReadPlacement(SettingsStore& store) {
    using namespace settings;
    return {InitialPosX.Read(store), InitialPosY.Read(store), InitialWidth.Read(store),
            InitialHeight.Read(store)};
}

void StorePlacement(SettingsStore& store, const StoredPlacement& placement) {
    using namespace settings;
    InitialPosX.Write(store, placement.x);
    InitialPosY.Write(store, placement.y);
    InitialWidth.Write(store, placement.width);
    InitialHeight.Write(store, placement.height);
}

std::optional<QRect> RestoredGeometry(const StoredPlacement& placement, const QRect& desktop) {
    if (placement.x == kNotStored || placement.y == kNotStored || placement.width == kNotStored ||
        placement.height == kNotStored)
        return std::nullopt;
    return QRect(Clamp(placement.x, desktop.x(), desktop.width()),
                 Clamp(placement.y, desktop.y(), desktop.height()), placement.width,
                 placement.height);
}

}  // namespace partita::gui
