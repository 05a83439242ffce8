#include "split/split_list.h"

#include <algorithm>
#include <stdexcept>

#include "app/string_table.h"
#include "app/time_text.h"
#include "app/trim.h"
#include "app/user_message.h"

namespace partita {
namespace {

const std::vector<RowId> kNoChildren;

}  // namespace

std::string SplitModeText(SplitMode mode) {
    switch (mode) {
        case SplitMode::Fast:
            return CurrentStrings().Get(Msg::SplitModeFast);
        case SplitMode::Frame:
            return CurrentStrings().Get(Msg::SplitModeFrame);
        default:
            return CurrentStrings().Get(Msg::SplitModeAuto);
    }
}

SplitMode ParseSplitModeText(const std::string& text) {
    // Either language's text counts: a list or sheet written in one language may be read in
    // the other.
    for (Language language : {Language::Chinese, Language::English}) {
        const StringTable& table = StringTable::For(language);
        if (text == table.Get(Msg::SplitModeFast))
            return SplitMode::Fast;
        if (text == table.Get(Msg::SplitModeFrame))
            return SplitMode::Frame;
    }
    return SplitMode::Auto;
}

std::string TrackTimesText(TrackTimes times) {
    return FormatTime(times.start, kTimeList) + "-" + FormatTime(times.end, kTimeList);
}

TrackTimes ParseTrackTimesText(const std::string& text) {
    auto dash = text.find('-');
    if (dash == std::string::npos)
        return {ParseTime(Trim(text), kTimeList), 0};
    return {ParseTime(Trim(std::string_view(text).substr(0, dash)), kTimeList),
            ParseTime(Trim(std::string_view(text).substr(dash + 1)), kTimeList)};
}

// --- Reading ---------------------------------------------------------------------------

SplitList::Node& SplitList::At(RowId row) {
    auto it = nodes_.find(row);
    if (it == nodes_.end())
        throw std::out_of_range("no such row in the split list");
    return it->second;
}

const SplitList::Node& SplitList::At(RowId row) const {
    auto it = nodes_.find(row);
    if (it == nodes_.end())
        throw std::out_of_range("no such row in the split list");
    return it->second;
}

const SplitRow& SplitList::Row(RowId row) const {
    return At(row).info;
}

RowId SplitList::Parent(RowId row) const {
    return At(row).parent;
}

const std::vector<RowId>& SplitList::Children(RowId row) const {
    if (row == kNoRow)
        return groups_;
    auto it = nodes_.find(row);
    return it == nodes_.end() ? kNoChildren : it->second.children;
}

std::vector<RowId>& SplitList::SiblingsOf(RowId row) {
    RowId parent = At(row).parent;
    return parent == kNoRow ? groups_ : At(parent).children;
}

int SplitList::TrackIndex(RowId row) const {
    RowId parent = At(row).parent;
    const auto& siblings = Children(parent);
    auto it = std::find(siblings.begin(), siblings.end(), row);
    return static_cast<int>(it - siblings.begin());
}

RowId SplitList::SourceOf(RowId row) const {
    if (!Contains(row))
        return kNoRow;
    switch (Kind(row)) {
        case SplitNodeKind::Source:
            return row;
        case SplitNodeKind::Track:
            return Parent(row);
        default:
            return kNoRow;
    }
}

RowId SplitList::GroupOf(RowId row) const {
    while (row != kNoRow && Kind(row) != SplitNodeKind::Group)
        row = Parent(row);
    return row;
}

std::string SplitList::SourcePath(RowId source) const {
    const SplitRow& info = Row(source);
    return info.Text(kColPath) + info.Text(kColTrack);
}

std::uint64_t SplitList::SourceDuration(RowId source) const {
    return ParseTime(Trim(Text(source, kColLength)), kTimeList);
}

TrackTimes SplitList::GetTrackTimes(RowId track, bool withOverlap,
                                    std::uint64_t sourceDurationMs) const {
    const SplitRow& info = Row(track);
    TrackTimes times = ParseTrackTimesText(info.Text(kColTrack));
    if (withOverlap) {
        std::uint64_t before = ParseTime(Trim(info.Text(kColBackOverlap)), kTimeList);
        std::uint64_t after = ParseTime(Trim(info.Text(kColFwdOverlap)), kTimeList);
        times.start = times.start > before ? times.start - before : 0;
        // The overlap never reaches past the source, nor shortens a track that already does.
        times.end = std::min(times.end + after, std::max(sourceDurationMs, times.end));
    }
    return times;
}

// --- Editing ---------------------------------------------------------------------------

void SplitList::Changed(RowId row) {
    if (observer_)
        observer_->RowChanged(row);
}

void SplitList::SetText(RowId row, int column, std::string text) {
    At(row).info.SetText(column, std::move(text));
    Changed(row);
}

void SplitList::SetSelected(RowId row, bool selected) {
    At(row).info.selected = selected ? 1 : 0;
    Changed(row);
}

RowId SplitList::NewRow(SplitRow info, RowId parent) {
    RowId id = nextId_++;
    nodes_[id] = Node{std::move(info), parent, {}};
    return id;
}

std::string SplitList::ProposedGroupName() const {
    return Message(Msg::NumberedSplitGroup, groupCounter_);
}

bool SplitList::TakeFirstGroupCreated() {
    return std::exchange(firstGroupCreated_, false);
}

RowId SplitList::AddGroup(std::string name) {
    if (name.empty())
        name = ProposedGroupName();
    if (groupCounter_ == 1)
        firstGroupCreated_ = true;
    ++groupCounter_;
    SplitRow info;
    info.kind = SplitNodeKind::Group;
    info.itemText = std::move(name);
    RowId id = NewRow(std::move(info), kNoRow);
    groups_.push_back(id);
    if (observer_)
        observer_->RowsInserted(kNoRow, static_cast<int>(groups_.size()) - 1, 1);
    current_ = id;
    return id;
}

RowId SplitList::AddSource(const std::string& path, std::uint64_t durationMs,
                           const SourceRowValues& values) {
    if (groups_.empty())
        AddGroup(CurrentStrings().Get(Msg::DefaultSplitGroup));
    RowId group = GroupOf(current_);
    if (group == kNoRow)
        group = groups_.front();

    auto cut = path.find_last_of("/\\");
    SplitRow info;
    info.kind = SplitNodeKind::Source;
    info.itemText = cut == std::string::npos ? path : path.substr(cut + 1);
    info.SetText(kColPath, cut == std::string::npos ? std::string() : path.substr(0, cut + 1));
    info.SetText(kColLength, FormatTime(durationMs, kTimeList));
    info.SetText(kColTitle, values.title);
    info.SetText(kColMode, values.modeText);
    info.SetText(kColBackOverlap, values.backOverlap);
    info.SetText(kColFwdOverlap, values.fwdOverlap);
    info.SetText(kColArtist, values.artist);
    info.SetText(kColAlbum, values.album);
    info.SetText(kColGenre, values.genre);
    info.SetText(kColYear, values.year);
    info.SetText(kColTrackNumber, values.trackNumber);
    info.SetText(kColComment, values.comment);
    RowId id = NewRow(std::move(info), group);
    auto& children = At(group).children;
    children.push_back(id);
    if (observer_)
        observer_->RowsInserted(group, static_cast<int>(children.size()) - 1, 1);
    current_ = id;
    return id;
}

void SplitList::SetTrackTimes(RowId track, TrackTimes times) {
    SplitRow& info = At(track).info;
    info.SetText(kColTrack, TrackTimesText(times));
    info.SetText(kColLength, FormatTime(times.end - std::min(times.start, times.end), kTimeList));
    Changed(track);
}

RowId SplitList::InsertTrackAt(RowId source, int position, TrackTimes times) {
    // A new track inherits every cell of its source (title, tags, overlaps, folder) but the
    // mode, which the source row rules.
    SplitRow info = At(source).info;
    info.kind = SplitNodeKind::Track;
    info.selected = 1;
    info.SetText(kColMode, {});
    info.SetText(kColTrack, TrackTimesText(times));
    info.SetText(kColLength, FormatTime(times.end - std::min(times.start, times.end), kTimeList));
    RowId id = NewRow(std::move(info), source);
    auto& children = At(source).children;
    children.insert(children.begin() + position, id);
    if (observer_)
        observer_->RowsInserted(source, position, 1);
    return id;
}

RowId SplitList::AppendTrack(RowId source, TrackTimes times) {
    return InsertTrackAt(source, TrackCount(source), times);
}

int SplitList::InsertPoint(RowId source, std::uint64_t ms) {
    const std::uint64_t duration = SourceDuration(source);
    auto& tracks = At(source).children;
    // The last track that starts at or before the point contains it, if it reaches past it.
    int containing = -1;
    for (int i = 0; i < static_cast<int>(tracks.size()); ++i) {
        if (GetTrackTimes(tracks[i], false).start <= ms)
            containing = i;
    }
    if (containing < 0) {
        // Nothing starts at or before the point: the range up to the first track (or the whole
        // source) becomes a track.
        std::uint64_t end = tracks.empty() ? duration : GetTrackTimes(tracks.front(), false).start;
        if (ms >= end)
            return -1;
        InsertTrackAt(source, 0, {ms, end});
        return 0;
    }
    TrackTimes around = GetTrackTimes(tracks[containing], false);
    if (around.start == ms)
        return containing;
    if (ms >= around.end)
        return -1;
    InsertTrackAt(source, containing + 1, {ms, around.end});
    return containing + 1;
}

int SplitList::InsertSplitPoint(RowId row, std::uint64_t ms) {
    if (!Contains(row))
        return -1;
    if (Kind(row) == SplitNodeKind::Group) {
        int result = -1;
        std::vector<RowId> sources = Children(row);
        for (RowId source : sources)
            result = InsertSplitPoint(source, ms);
        return result;
    }
    RowId source = SourceOf(row);
    if (ms >= SourceDuration(source))
        return -1;
    InsertPoint(source, 0);
    int index = InsertPoint(source, ms);
    if (index < 0)
        return -1;
    const auto& tracks = At(source).children;
    if (index > 0) {
        RowId previous = tracks[index - 1];
        TrackTimes before = GetTrackTimes(previous, false);
        if (before.end > ms) {
            SetTrackTimes(previous, {before.start, ms});
            SetTrackTimes(tracks[index], {ms, before.end});
        }
    }
    current_ = tracks[index];
    return index;
}

TrackUpdate SplitList::UpdateTrackStart(RowId track, std::uint64_t ms) {
    TrackTimes times = GetTrackTimes(track, false);
    if (ms >= times.end)
        return TrackUpdate::StartNotBeforeEnd;
    RowId source = Parent(track);
    int index = TrackIndex(track);
    if (index == 0) {
        InsertSplitPoint(track, ms);
        return TrackUpdate::Done;
    }
    // The earlier tracks that start at or after the new start are swallowed.
    const auto& tracks = At(source).children;
    int first = index;
    while (first > 0 && GetTrackTimes(tracks[first - 1], false).start >= ms)
        --first;
    RemoveChildren(source, first, index - first);
    index = first;
    SetTrackTimes(track, {ms, times.end});
    if (index > 0) {
        RowId previous = At(source).children[index - 1];
        SetTrackTimes(previous, {GetTrackTimes(previous, false).start, ms});
    }
    current_ = track;
    return TrackUpdate::Done;
}

TrackUpdate SplitList::UpdateTrackEnd(RowId track, std::uint64_t ms) {
    TrackTimes times = GetTrackTimes(track, false);
    if (ms <= times.start)
        return TrackUpdate::EndNotAfterStart;
    RowId source = Parent(track);
    int index = TrackIndex(track);
    if (index == TrackCount(source) - 1) {
        InsertSplitPoint(track, ms);
        return TrackUpdate::Done;
    }
    // The later tracks that end at or before the new end are swallowed.
    const auto& tracks = At(source).children;
    int last = index + 1;
    while (last < static_cast<int>(tracks.size()) && GetTrackTimes(tracks[last], false).end <= ms)
        ++last;
    RemoveChildren(source, index + 1, last - index - 1);
    if (index + 1 < TrackCount(source)) {
        RowId next = At(source).children[index + 1];
        SetTrackTimes(track, {times.start, ms});
        SetTrackTimes(next, {ms, GetTrackTimes(next, false).end});
    } else {
        // Every later track was swallowed: the track ends with its source at most.
        SetTrackTimes(track, {times.start, std::min(ms, SourceDuration(source))});
    }
    current_ = track;
    return TrackUpdate::Done;
}

void SplitList::Erase(RowId row) {
    Node& node = At(row);
    for (RowId child : node.children)
        Erase(child);
    if (lastToggled_ == row)
        lastToggled_ = kNoRow;
    if (current_ == row)
        current_ = kNoRow;
    nodes_.erase(row);
}

void SplitList::RemoveChildren(RowId parent, int first, int count) {
    if (count <= 0)
        return;
    if (observer_)
        observer_->RowsAboutToBeRemoved(parent, first, count);
    auto& list = parent == kNoRow ? groups_ : At(parent).children;
    for (int i = first; i < first + count; ++i)
        Erase(list[i]);
    list.erase(list.begin() + first, list.begin() + first + count);
    if (observer_)
        observer_->RowsRemoved(parent, first, count);
}

void SplitList::Remove(RowId row) {
    if (!Contains(row))
        return;
    RowId parent = Parent(row);
    int index = TrackIndex(row);
    RemoveChildren(parent, index, 1);
    const auto& siblings = Children(parent);
    if (index > 0) {
        current_ = siblings[index - 1];
    } else {
        current_ = parent != kNoRow ? parent : (siblings.empty() ? kNoRow : siblings.front());
    }
}

void SplitList::RemoveTracks(RowId row) {
    RowId source = SourceOf(row);
    if (source == kNoRow)
        return;
    RemoveChildren(source, 0, TrackCount(source));
    current_ = source;
}

void SplitList::Clear() {
    nodes_.clear();
    groups_.clear();
    current_ = kNoRow;
    lastToggled_ = kNoRow;
    if (observer_)
        observer_->ListReset();
}

bool SplitList::MoveToGroup(RowId source, const std::string& groupName) {
    if (!Contains(source) || Kind(source) != SplitNodeKind::Source)
        return false;
    auto target = std::find_if(groups_.begin(), groups_.end(),
                               [&](RowId g) { return Text(g, kColTrack) == groupName; });
    if (target == groups_.end())
        return false;
    RowId group = *target;
    RowId from = Parent(source);
    if (from == group)
        return true;
    int index = TrackIndex(source);
    if (observer_)
        observer_->RowsAboutToBeRemoved(from, index, 1);
    auto& old = At(from).children;
    old.erase(old.begin() + index);
    if (observer_)
        observer_->RowsRemoved(from, index, 1);
    At(source).parent = group;
    auto& children = At(group).children;
    children.push_back(source);
    if (observer_)
        observer_->RowsInserted(group, static_cast<int>(children.size()) - 1, 1);
    current_ = source;
    return true;
}

bool SplitList::ToggleSelected(RowId row) {
    if (!Contains(row))
        return false;
    bool value = row == lastToggled_ && !lastToggleValue_;
    lastToggled_ = row;
    lastToggleValue_ = value;
    for (RowId child : At(row).children)
        SetSelected(child, value);
    SetSelected(row, value);
    current_ = row;
    return value;
}

}  // namespace partita
