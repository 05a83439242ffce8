#include "split/track_tools.h"

#include <algorithm>

#include "app/trim.h"
#include "app/user_message.h"

namespace partita {
namespace {

void InsertPoints(SplitList& list, RowId row, const std::vector<std::uint64_t>& points) {
    RowId source = list.SourceOf(row);
    if (source == kNoRow)
        return;
    for (std::uint64_t point : points)
        list.InsertSplitPoint(source, point);
}

// A source divided anew: its tracks removed, the single track [0, duration) and the points.
void Redivide(SplitList& list, RowId source, const SpecialSplitRequest& request) {
    list.RemoveTracks(source);
    list.InsertSplitPoint(source, 0);
    InsertPoints(list, source, SpecialSplitPoints(request, 0, list.SourceDuration(source)));
}

void WriteOverlaps(SplitList& list, RowId row, const Overlaps& overlaps) {
    if (list.Kind(row) != SplitNodeKind::Group)
        list.SetOverlaps(row, overlaps);
}

}  // namespace

void SplitEqualParts(SplitList& list, RowId row, int count, std::uint64_t start,
                     std::uint64_t end) {
    InsertPoints(list, row, EqualPartPoints(count, start, end));
}

void SplitByTime(SplitList& list, RowId row, std::uint64_t step, std::uint64_t start,
                 std::uint64_t end) {
    InsertPoints(list, row, FixedLengthPoints(step, start, end));
}

std::uint64_t SpecialScopeLength(const SplitList& list, RowId row, SpecialSplitScope scope) {
    if (list.Kind(row) == SplitNodeKind::Group)
        return kGroupScopeLengthMs;
    if (scope == SpecialSplitScope::SelectedTrack && list.Kind(row) == SplitNodeKind::Track) {
        TrackTimes times = list.Row(row).times;
        return times.end > times.start ? times.end - times.start : 0;
    }
    return list.SourceDuration(list.SourceOf(row));
}

bool ApplySpecialSplit(SplitList& list, RowId row, const SpecialSplitRequest& request,
                       JobHost& host) {
    if (!list.Contains(row))
        return false;
    if (list.Kind(row) == SplitNodeKind::Group) {
        if (request.scope != SpecialSplitScope::Whole)
            return false;
        if (!host.AskYesNo(Msg::ConfirmReplaceTracks))
            return false;
        std::vector<RowId> sources = list.Children(row);
        for (RowId source : sources)
            Redivide(list, source, request);
        list.SetCurrent(row);
        return true;
    }
    RowId source = list.SourceOf(row);
    if (request.scope == SpecialSplitScope::SelectedTrack &&
        list.Kind(row) == SplitNodeKind::Track) {
        TrackTimes times = list.Row(row).times;
        InsertPoints(list, source, SpecialSplitPoints(request, times.start, times.end));
    } else {
        Redivide(list, source, request);
    }
    list.SetCurrent(source);
    return true;
}

void ApplyAutoSpecialSplit(SplitList& list, RowId source, const SourceLoadDefaults& defaults) {
    if (!defaults.autoSpecial)
        return;
    const std::uint64_t duration = list.SourceDuration(source);
    SpecialSplitRequest request = *defaults.autoSpecial;
    request.scopeLengthMs = duration;
    if (request.type == SpecialSplitType::FixedTime && request.stepMs * kMaxSpecialParts < duration)
        return;
    list.InsertSplitPoint(source, 0);
    InsertPoints(list, source, SpecialSplitPoints(request, 0, duration));
    list.SetCurrent(source);
}

std::vector<int> ParseSectionList(std::string_view text) {
    std::vector<int> numbers;
    auto readNumber = [](std::string_view part, int& value) {
        part = Trim(part);
        if (part.empty() || part.size() > 6)
            return false;
        value = 0;
        for (char c : part) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        return value > 0;
    };
    while (!text.empty()) {
        auto comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        auto dash = part.find('-');
        int first = 0, last = 0;
        if (dash == std::string_view::npos) {
            if (readNumber(part, first))
                numbers.push_back(first);
        } else if (readNumber(part.substr(0, dash), first) &&
                   readNumber(part.substr(dash + 1), last) && first <= last) {
            for (int n = first; n <= last; ++n)
                numbers.push_back(n);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

void ApplyOverlaps(SplitList& list, RowId row, const Overlaps& overlaps, OverlapScope scope,
                   std::string_view sections) {
    if (!list.Contains(row))
        return;
    // A group holds no overlaps of its own: whatever the scope, its items get them.
    if (list.Kind(row) == SplitNodeKind::Group)
        scope = OverlapScope::Whole;
    if (scope == OverlapScope::Sections) {
        RowId source = list.SourceOf(row);
        std::vector<int> numbers = ParseSectionList(sections);
        const auto& tracks = source == kNoRow ? std::vector<RowId>() : list.Children(source);
        bool any = false;
        for (int n : numbers) {
            if (n <= static_cast<int>(tracks.size())) {
                WriteOverlaps(list, tracks[static_cast<std::size_t>(n - 1)], overlaps);
                any = true;
            }
        }
        if (!any)
            WriteOverlaps(list, row, overlaps);
        return;
    }
    if (scope == OverlapScope::SelectedItem) {
        WriteOverlaps(list, row, overlaps);
        return;
    }
    if (list.Kind(row) == SplitNodeKind::Group) {
        for (RowId source : list.Children(row)) {
            WriteOverlaps(list, source, overlaps);
            for (RowId track : list.Children(source))
                WriteOverlaps(list, track, overlaps);
        }
        return;
    }
    RowId source = list.SourceOf(row);
    for (RowId track : list.Children(source))
        WriteOverlaps(list, track, overlaps);
    WriteOverlaps(list, source, overlaps);
}

}  // namespace partita
