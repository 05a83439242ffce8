#include "split/split_list_commands.h"

#include "app/message_format.h"

namespace partita {

RowId AddGroupTelling(SplitList& list, JobHost& host, const std::string& name) {
    RowId group = list.AddGroup(name);
    if (list.TakeFirstGroupCreated())
        host.ShowInfoWithToggle(307, Message(307), "Split Tips Dlg", false);
    return group;
}

bool RemoveCurrentRow(SplitList& list, JobHost& host) {
    RowId row = list.Current();
    if (row == kNoRow)
        return false;
    if (list.Kind(row) == SplitNodeKind::Group && !host.AskYesNo(288, Message(288)))
        return false;
    list.Remove(row);
    return true;
}

bool ClearSplitList(SplitList& list, JobHost& host) {
    if (list.Empty())
        return false;
    if (!host.ShowInfoWithToggle(290, Message(290), "Split Clear All Dlg", true))
        return false;
    list.Clear();
    return true;
}

bool MoveTrackStart(SplitList& list, JobHost& host, RowId track, std::uint64_t ms) {
    if (list.UpdateTrackStart(track, ms) == TrackUpdate::Done)
        return true;
    host.ShowMessage(189, Message(189), MessageKind::Warning);
    return false;
}

bool MoveTrackEnd(SplitList& list, JobHost& host, RowId track, std::uint64_t ms) {
    if (list.UpdateTrackEnd(track, ms) == TrackUpdate::Done)
        return true;
    host.ShowMessage(190, Message(190), MessageKind::Warning);
    return false;
}

std::string TrackCaption(const SplitList& list, RowId track) {
    return Message(248, list.TrackIndex(track) + 1, list.TrackCount(list.Parent(track)));
}

}  // namespace partita
