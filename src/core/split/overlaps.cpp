#include "split/overlaps.h"

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

}  // namespace partita
