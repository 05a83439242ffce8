#include "split/overlaps.h"

#include <algorithm>

#include "app/setting_values.h"
#include "app/time_text.h"
#include "app/user_message.h"

namespace partita {

std::string OverlapSummary(const Overlaps& overlaps) {
    const std::string fw = FormatTime(overlaps.forwardMs, kTimeList);
    const std::string bw = FormatTime(overlaps.backwardMs, kTimeList);
    if (overlaps.forwardMs && overlaps.backwardMs)
        return Message(Msg::ForwardBackwardOverlap, fw, bw);
    if (overlaps.forwardMs)
        return Message(Msg::ForwardOverlap, fw);
    if (overlaps.backwardMs)
        return Message(Msg::BackwardOverlap, bw);
    return Message(Msg::NoOverlap);
}

OverlapSettings OverlapSettings::Read(SettingsStore& store) {
    OverlapSettings values;
    values.overlaps.forwardMs =
        static_cast<std::uint64_t>(std::max(settings::ForwardOverlap.Read(store), 0));
    values.overlaps.backwardMs =
        static_cast<std::uint64_t>(std::max(settings::BackwardOverlap.Read(store), 0));
    values.automatic = settings::AutoOverlap.Read(store) != 0;
    return values;
}

void OverlapSettings::Write(SettingsStore& store, bool withAutomatic) const {
    auto clampMs = [](std::uint64_t ms) {
        return static_cast<int>(std::min<std::uint64_t>(ms, 0x7fffffff));
    };
    settings::ForwardOverlap.Write(store, clampMs(overlaps.forwardMs));
    settings::BackwardOverlap.Write(store, clampMs(overlaps.backwardMs));
    if (withAutomatic)
        settings::AutoOverlap.Write(store, automatic ? 1 : 0);
}

}  // namespace partita
