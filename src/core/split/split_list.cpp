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

CellEdit ToCellEdit(TrackUpdate update) {
    switch (update) {
        case TrackUpdate::StartNotBeforeEnd:
            return CellEdit::StartNotBeforeEnd;
        case TrackUpdate::EndNotAfterStart:
            return CellEdit::EndNotAfterStart;
        default:
            return CellEdit::Done;
    }
}

}  // namespace

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

std::optional<std::uint64_t> ParseListTime(std::string_view text) {
    text = Trim(text);
    if (text.empty())
        return 0;
    if (std::uint64_t ms = ParseTime(text, kTimeList))
        return ms;
    // The parser reads an invalid text as 0 too: only a text of zeros is a zero time.
    for (char c : text) {
        if (c != '0' && c != ':' && c != '.')
            return std::nullopt;
    }
    return 0;
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

int SplitList::TrackIndex(RowId row) const {
    const auto& siblings = Children(At(row).parent);
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
    return info.folder + info.name;
}

TrackTimes SplitList::GetTrackTimes(RowId track, bool withOverlap,
                                    std::uint64_t sourceDurationMs) const {
    const SplitRow& info = Row(track);
    TrackTimes times = info.times;
    if (withOverlap) {
        const std::uint64_t before = info.overlaps.backwardMs;
        times.start = times.start > before ? times.start - before : 0;
        // The overlap never reaches past the source, nor shortens a track that already does.
        times.end =
            std::min(times.end + info.overlaps.forwardMs, std::max(sourceDurationMs, times.end));
    }
    return times;
}

std::string SplitList::CellText(RowId row, int column) const {
    const SplitRow& info = Row(row);
    if (info.kind == SplitNodeKind::Group)
        return column == kColTrack ? info.name : std::string();
    const bool track = info.kind == SplitNodeKind::Track;
    switch (column) {
        case kColTrack:
            return track ? TrackTimesText(info.times) : info.name;
        case kColLength:
            return FormatTime(track ? info.times.end - std::min(info.times.start, info.times.end)
                                    : info.durationMs,
                              kTimeList);
        case kColMode:
            // A track has no mode of its own: its source's rules.
            return track ? std::string() : SplitModeText(info.mode);
        case kColBackOverlap:
            return FormatTime(info.overlaps.backwardMs, kTimeList);
        case kColFwdOverlap:
            return FormatTime(info.overlaps.forwardMs, kTimeList);
        case kColPath:
            return track ? Row(Parent(row)).folder : info.folder;
        default: {
            const std::string* tag = info.tags.Field(column);
            return tag ? *tag : std::string();
        }
    }
}

// --- Editing ---------------------------------------------------------------------------

void SplitList::Changed(RowId row) {
    if (observer_)
        observer_->RowChanged(row);
}

CellEdit SplitList::EditCell(RowId row, int column, std::string_view text) {
    const SplitRow& info = Row(row);
    if (info.kind == SplitNodeKind::Group) {
        if (column != kColTrack)
            return CellEdit::NotEditable;
        if (Trim(text).empty())
            return CellEdit::InvalidText;
        RenameGroup(row, std::string(text));
        return CellEdit::Done;
    }
    const bool track = info.kind == SplitNodeKind::Track;
    switch (column) {
        case kColTrack: {
            if (!track)
                return CellEdit::NotEditable;
            auto dash = text.find('-');
            if (dash == std::string_view::npos)
                return CellEdit::InvalidText;
            auto start = ParseListTime(text.substr(0, dash));
            auto end = ParseListTime(text.substr(dash + 1));
            if (!start || !end || Trim(text.substr(dash + 1)).empty())
                return CellEdit::InvalidText;
            return EditTrackTimes(row, {*start, *end});
        }
        case kColLength: {
            auto length = ParseListTime(text);
            if (!track)
                return CellEdit::NotEditable;
            if (!length)
                return CellEdit::InvalidText;
            return EditTrackTimes(row, {info.times.start, info.times.start + *length});
        }
        case kColBackOverlap:
        case kColFwdOverlap: {
            auto ms = ParseListTime(text);
            if (!ms)
                return CellEdit::InvalidText;
            Overlaps overlaps = info.overlaps;
            (column == kColBackOverlap ? overlaps.backwardMs : overlaps.forwardMs) = *ms;
            SetOverlaps(row, overlaps);
            return CellEdit::Done;
        }
        default: {
            TagTemplates tags = info.tags;
            std::string* field = tags.Field(column);
            if (!field)
                return CellEdit::NotEditable;
            *field = std::string(text);
            SetTags(row, std::move(tags));
            return CellEdit::Done;
        }
    }
}

CellEdit SplitList::EditTrackTimes(RowId track, TrackTimes times) {
    const RowId source = Parent(track);
    const TrackTimes old = Row(track).times;
    if (times.start >= times.end)
        return times.start != old.start ? CellEdit::StartNotBeforeEnd : CellEdit::EndNotAfterStart;
    // Moving the start of the first track inserts a point, so the track that starts there is
    // the one edited afterwards.
    auto moveStart = [&] {
        if (times.start == old.start)
            return TrackUpdate::Done;
        TrackUpdate result = UpdateTrackStart(track, times.start);
        for (RowId t : Children(source)) {
            if (Row(t).times.start == times.start)
                track = t;
        }
        return result;
    };
    auto moveEnd = [&] {
        return times.end == old.end ? TrackUpdate::Done : UpdateTrackEnd(track, times.end);
    };
    // The boundary that keeps the track non-empty moves first.
    TrackUpdate first = times.start >= old.end ? moveEnd() : moveStart();
    if (first != TrackUpdate::Done)
        return ToCellEdit(first);
    return ToCellEdit(times.start >= old.end ? moveStart() : moveEnd());
}

void SplitList::SetChecked(RowId row, bool checked) {
    At(row).info.checked = checked;
    Changed(row);
}

void SplitList::SetTags(RowId row, TagTemplates tags) {
    At(row).info.tags = std::move(tags);
    Changed(row);
}

void SplitList::SetOverlaps(RowId row, Overlaps overlaps) {
    At(row).info.overlaps = overlaps;
    Changed(row);
}

void SplitList::RenameGroup(RowId group, std::string name) {
    At(group).info.name = std::move(name);
    Changed(group);
}

void SplitList::SetMode(RowId source, SplitMode mode) {
    At(source).info.mode = mode;
    Changed(source);
}

void SplitList::SetSourceFacts(RowId source, std::uint64_t durationMs, const SourceFormat& format,
                               std::shared_ptr<const SplitSource> analysis) {
    SplitRow& info = At(source).info;
    info.durationMs = durationMs;
    info.format = format;
    info.analysis = std::move(analysis);
    Changed(source);
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
    info.name = std::move(name);
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
    info.name = cut == std::string::npos ? path : path.substr(cut + 1);
    info.folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    info.durationMs = durationMs;
    info.mode = values.mode;
    info.format = values.format;
    info.analysis = values.analysis;
    info.overlaps = values.overlaps;
    info.tags = values.tags;
    RowId id = NewRow(std::move(info), group);
    auto& children = At(group).children;
    children.push_back(id);
    if (observer_)
        observer_->RowsInserted(group, static_cast<int>(children.size()) - 1, 1);
    current_ = id;
    return id;
}

void SplitList::SetTrackTimes(RowId track, TrackTimes times) {
    At(track).info.times = times;
    Changed(track);
}

RowId SplitList::InsertTrackAt(RowId source, int position, TrackTimes times) {
    // A new track takes its source's tags and overlaps; the mode and the file stay the source's.
    const SplitRow& from = At(source).info;
    SplitRow info;
    info.kind = SplitNodeKind::Track;
    info.times = times;
    info.overlaps = from.overlaps;
    info.tags = from.tags;
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
        if (Row(tracks[i]).times.start <= ms)
            containing = i;
    }
    if (containing < 0) {
        // Nothing starts at or before the point: the range up to the first track (or the whole
        // source) becomes a track.
        std::uint64_t end = tracks.empty() ? duration : Row(tracks.front()).times.start;
        if (ms >= end)
            return -1;
        InsertTrackAt(source, 0, {ms, end});
        return 0;
    }
    TrackTimes around = Row(tracks[containing]).times;
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
        TrackTimes before = Row(previous).times;
        if (before.end > ms) {
            SetTrackTimes(previous, {before.start, ms});
            SetTrackTimes(tracks[index], {ms, before.end});
        }
    }
    current_ = tracks[index];
    return index;
}

TrackUpdate SplitList::UpdateTrackStart(RowId track, std::uint64_t ms) {
    TrackTimes times = Row(track).times;
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
    while (first > 0 && Row(tracks[first - 1]).times.start >= ms)
        --first;
    RemoveChildren(source, first, index - first);
    index = first;
    SetTrackTimes(track, {ms, times.end});
    if (index > 0) {
        RowId previous = At(source).children[index - 1];
        SetTrackTimes(previous, {Row(previous).times.start, ms});
    }
    current_ = track;
    return TrackUpdate::Done;
}

TrackUpdate SplitList::UpdateTrackEnd(RowId track, std::uint64_t ms) {
    TrackTimes times = Row(track).times;
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
    while (last < static_cast<int>(tracks.size()) && Row(tracks[last]).times.end <= ms)
        ++last;
    RemoveChildren(source, index + 1, last - index - 1);
    if (index + 1 < TrackCount(source)) {
        RowId next = At(source).children[index + 1];
        SetTrackTimes(track, {times.start, ms});
        SetTrackTimes(next, {ms, Row(next).times.end});
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

bool SplitList::MoveToGroup(RowId source, RowId group) {
    if (!Contains(source) || Kind(source) != SplitNodeKind::Source || !Contains(group) ||
        Kind(group) != SplitNodeKind::Group)
        return false;
    RowId from = Parent(source);
    if (from != group) {
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
    }
    current_ = source;
    return true;
}

bool SplitList::ToggleChecked(RowId row) {
    if (!Contains(row))
        return false;
    bool value = row == lastToggled_ && !lastToggleValue_;
    lastToggled_ = row;
    lastToggleValue_ = value;
    for (RowId child : At(row).children)
        SetChecked(child, value);
    SetChecked(row, value);
    current_ = row;
    return value;
}

}  // namespace partita
