#include "split/split_list_commands.h"

#include "app/user_message.h"

namespace partita {

RowId AddGroupTelling(SplitList& list, JobHost& host, const std::string& name) {
    RowId group = list.AddGroup(name);
    if (list.TakeFirstGroupCreated())
        host.ShowInfoWithToggle(Msg::SplitGroupTips, "Split Tips Dlg", false);
    return group;
}

bool RemoveCurrentRow(SplitList& list, JobHost& host) {
    RowId row = list.Current();
    if (row == kNoRow)
        return false;
    if (list.Kind(row) == SplitNodeKind::Group && !host.AskYesNo(Msg::ConfirmRemoveGroup))
        return false;
    list.Remove(row);
    return true;
}

bool ClearSplitList(SplitList& list, JobHost& host) {
    if (list.Empty())
        return false;
    if (!host.ShowInfoWithToggle(Msg::ConfirmClearSplitList, "Split Clear All Dlg", true))
        return false;
    list.Clear();
    return true;
}

bool MoveTrackStart(SplitList& list, JobHost& host, RowId track, std::uint64_t ms) {
    if (list.UpdateTrackStart(track, ms) == TrackUpdate::Done)
        return true;
    host.ShowMessage(MessageKind::Warning, Msg::StartNotBeforeEnd);
    return false;
}

bool MoveTrackEnd(SplitList& list, JobHost& host, RowId track, std::uint64_t ms) {
    if (list.UpdateTrackEnd(track, ms) == TrackUpdate::Done)
        return true;
    host.ShowMessage(MessageKind::Warning, Msg::EndNotAfterStart);
    return false;
}

bool EditCellTelling(SplitList& list, JobHost& host, RowId row, int column, std::string_view text) {
    switch (list.EditCell(row, column, text)) {
        case CellEdit::Done:
            return true;
        case CellEdit::StartNotBeforeEnd:
            host.ShowMessage(MessageKind::Warning, Msg::StartNotBeforeEnd);
            return false;
        case CellEdit::EndNotAfterStart:
            host.ShowMessage(MessageKind::Warning, Msg::EndNotAfterStart);
            return false;
        default:
            return false;
    }
}

std::string TrackCaption(const SplitList& list, RowId track) {
    return Message(Msg::TrackNumberLabel, list.TrackIndex(track) + 1,
                   list.TrackCount(list.Parent(track)));
}

}  // namespace partita
