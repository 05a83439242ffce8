#include "split/chapter_split.h"

#include <algorithm>

#include "split/chapter_tracks.h"
#include "tags/chapter_reader.h"

namespace partita {
namespace {

Msg ProblemMessage(ChapterProblem problem) {
    switch (problem) {
        case ChapterProblem::EndNotAfterStart:
            return Msg::ChapterEndNotAfterStart;
        case ChapterProblem::OverlapsPrevious:
            return Msg::ChapterOverlapsPrevious;
        case ChapterProblem::PastEndOfAudio:
            return Msg::ChapterPastEndOfAudio;
        case ChapterProblem::NotFound:
            return Msg::ChapterNotFound;
        case ChapterProblem::NotInTable:
            return Msg::ChapterNotInTable;
    }
    return Msg::ChapterNotFound;
}

// Reports the chapters left out. A chapter's number is its place in playing order; those no
// table reaches follow the listed ones in the order the tag holds them.
void ReportSkipped(const std::vector<Chapter>& ordered, const std::vector<SkippedChapter>& skipped,
                   const std::string& path, JobHost& host) {
    int unlisted = static_cast<int>(ordered.size());
    for (const SkippedChapter& s : skipped) {
        int number = 0;
        if (s.problem == ChapterProblem::NotFound || s.problem == ChapterProblem::NotInTable) {
            number = ++unlisted;
        } else {
            auto at = std::find(ordered.begin(), ordered.end(), s.chapter);
            number = static_cast<int>(at - ordered.begin()) + 1;
        }
        const std::string& title = s.chapter.title.empty() ? s.chapter.id : s.chapter.title;
        host.ShowMessage(MessageKind::Warning, {ProblemMessage(s.problem), number, title, path});
    }
}

// The tracks of the source's chapters, reporting the ones left out; empty when it has none.
std::vector<ChapterTrack> ChapterTracksOf(const SplitList& list, RowId source, JobHost& host) {
    const SplitRow& row = list.Row(source);
    if (row.format.type != audio::AudioType::Mpeg)
        return {};
    const std::string path = list.SourcePath(source);
    std::optional<ChapterList> read = ReadChapterFrames(path);
    if (!read)
        return {};
    const std::vector<Chapter> ordered = read->chapters;
    ChapterTracks tracks =
        TracksFromChapters(CheckChapters(std::move(*read), row.durationMs), row.durationMs);
    ReportSkipped(ordered, tracks.skipped, path, host);
    return std::move(tracks.tracks);
}

}  // namespace

ChapterSplit SplitSourceAtChapters(SplitList& list, RowId source, JobHost& host,
                                   bool tellNoChapters) {
    const std::vector<ChapterTrack> tracks = ChapterTracksOf(list, source, host);
    if (tracks.empty()) {
        if (tellNoChapters)
            host.ShowMessage(MessageKind::Warning,
                             {Msg::NoChaptersToSplitAt, list.SourcePath(source)});
        return ChapterSplit::NoChapters;
    }
    list.RemoveTracks(source);
    list.InsertSplitPoint(source, 0);
    for (const ChapterTrack& track : tracks) {
        // The tracks follow one another from 0, so each one starts a new list track.
        const int index = track.startMs == 0 ? 0 : list.InsertSplitPoint(source, track.startMs);
        if (index < 0)
            continue;
        const RowId row = list.Children(source)[static_cast<std::size_t>(index)];
        TagTemplates tags = list.Row(row).tags;
        if (!track.chapter) {
            tags.title.clear();
            tags.artist.clear();
        }
        if (!track.title.empty())
            tags.title = track.title;
        if (!track.artist.empty())
            tags.artist = track.artist;
        list.SetTags(row, std::move(tags));
        list.SetChecked(row, track.chapter);
    }
    list.SetCurrent(source);
    return ChapterSplit::Split;
}

int SplitRowsAtChapters(SplitList& list, const std::vector<RowId>& rows, JobHost& host) {
    std::vector<RowId> sources;
    auto note = [&sources](RowId source) {
        if (std::find(sources.begin(), sources.end(), source) == sources.end())
            sources.push_back(source);
    };
    for (RowId row : rows) {
        if (!list.Contains(row))
            continue;
        if (list.Kind(row) == SplitNodeKind::Group) {
            for (RowId source : list.Children(row))
                note(source);
        } else {
            note(list.SourceOf(row));
        }
    }
    int split = 0;
    for (RowId source : sources) {
        if (SplitSourceAtChapters(list, source, host, true) == ChapterSplit::Split)
            ++split;
    }
    return split;
}

}  // namespace partita
