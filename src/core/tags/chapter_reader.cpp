#include "tags/chapter_reader.h"

#include <taglib/chapterframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tableofcontentsframe.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tags/taglib_support.h"

namespace partita {
namespace {

using TagLib::ID3v2::ChapterFrame;
using TagLib::ID3v2::TableOfContentsFrame;

// Element ids are ISO-8859-1 texts; TagLib keeps them as bytes without the terminator.
std::string ElementId(const TagLib::ByteVector& id) {
    return taglib_support::ToUtf8(TagLib::String(id, TagLib::String::Latin1));
}

std::string SubFrameText(const ChapterFrame& chapter, const char* id) {
    const TagLib::ID3v2::FrameList& frames = chapter.embeddedFrameList(id);
    return frames.isEmpty() ? std::string() : taglib_support::ToUtf8(frames.front()->toString());
}

Chapter ChapterOf(const ChapterFrame& frame) {
    Chapter chapter;
    chapter.id = ElementId(frame.elementID());
    chapter.title = SubFrameText(frame, "TIT2");
    chapter.artist = SubFrameText(frame, "TPE1");
    chapter.startMs = frame.startTime();
    chapter.endMs = frame.endTime();
    return chapter;
}

void SortByStart(std::vector<Chapter>::iterator first, std::vector<Chapter>::iterator last) {
    std::stable_sort(first, last,
                     [](const Chapter& a, const Chapter& b) { return a.startMs < b.startMs; });
}

// Puts the chapters a table reaches into playing order.
class TableWalk {
  public:
    TableWalk(const std::vector<Chapter>& chapters,
              const std::map<std::string, const TableOfContentsFrame*>& tables)
        : chapters_(chapters), tables_(tables), taken_(chapters.size(), false) {
        for (std::size_t i = chapters.size(); i-- > 0;)
            byId_[chapters[i].id] = i;  // the first frame of an id wins
    }

    void Walk(const TableOfContentsFrame& table, ChapterList& out) {
        visited_.insert(ElementId(table.elementID()));
        const std::size_t first = out.chapters.size();
        for (const TagLib::ByteVector& child : table.childElements()) {
            const std::string id = ElementId(child);
            if (auto chapter = byId_.find(id); chapter != byId_.end()) {
                if (!taken_[chapter->second]) {
                    taken_[chapter->second] = true;
                    out.chapters.push_back(chapters_[chapter->second]);
                }
            } else if (auto nested = tables_.find(id); nested != tables_.end()) {
                if (!visited_.contains(id))  // a table listing itself again adds nothing
                    Walk(*nested->second, out);
            } else {
                Chapter missing;
                missing.id = id;
                out.skipped.push_back({std::move(missing), ChapterProblem::NotFound});
            }
        }
        if (!table.isOrdered())
            SortByStart(out.chapters.begin() + static_cast<std::ptrdiff_t>(first),
                        out.chapters.end());
    }

    // The chapters no table listed.
    void SkipUntaken(ChapterList& out) const {
        for (std::size_t i = 0; i < chapters_.size(); ++i) {
            if (!taken_[i])
                out.skipped.push_back({chapters_[i], ChapterProblem::NotInTable});
        }
    }

  private:
    const std::vector<Chapter>& chapters_;
    const std::map<std::string, const TableOfContentsFrame*>& tables_;
    std::map<std::string, std::size_t> byId_;
    std::vector<bool> taken_;
    std::set<std::string> visited_;
};

// The table the others hang from: the one flagged top-level, else the first no table lists.
const TableOfContentsFrame* TopTable(const TagLib::ID3v2::FrameList& tables) {
    std::set<std::string> listed;
    for (const TagLib::ID3v2::Frame* frame : tables) {
        auto* table = dynamic_cast<const TableOfContentsFrame*>(frame);
        if (!table)
            continue;
        if (table->isTopLevel())
            return table;
        for (const TagLib::ByteVector& child : table->childElements())
            listed.insert(ElementId(child));
    }
    for (const TagLib::ID3v2::Frame* frame : tables) {
        auto* table = dynamic_cast<const TableOfContentsFrame*>(frame);
        if (table && !listed.contains(ElementId(table->elementID())))
            return table;
    }
    return nullptr;
}

}  // namespace

std::optional<ChapterList> ReadChapterFrames(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    TagLib::MPEG::File file(path.c_str(), false);
    if (!file.isValid())
        return std::nullopt;
    ChapterList list;
    TagLib::ID3v2::Tag* tag = file.hasID3v2Tag() ? file.ID3v2Tag() : nullptr;
    if (!tag)
        return list;

    std::vector<Chapter> chapters;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList("CHAP")) {
        if (auto* chapter = dynamic_cast<const ChapterFrame*>(frame))
            chapters.push_back(ChapterOf(*chapter));
    }
    const TagLib::ID3v2::FrameList& tableFrames = tag->frameList("CTOC");
    const TableOfContentsFrame* top = TopTable(tableFrames);
    if (!top) {
        SortByStart(chapters.begin(), chapters.end());
        list.chapters = std::move(chapters);
        return list;
    }
    std::map<std::string, const TableOfContentsFrame*> tables;
    for (const TagLib::ID3v2::Frame* frame : tableFrames) {
        if (auto* table = dynamic_cast<const TableOfContentsFrame*>(frame))
            tables.emplace(ElementId(table->elementID()), table);
    }
    TableWalk walk(chapters, tables);
    walk.Walk(*top, list);
    walk.SkipUntaken(list);
    return list;
}

ChapterList CheckChapters(ChapterList ordered, std::uint64_t durationMs) {
    ChapterList checked;
    checked.skipped = std::move(ordered.skipped);
    const std::vector<Chapter>& in = ordered.chapters;
    for (std::size_t i = 0; i < in.size(); ++i) {
        Chapter chapter = in[i];
        if (chapter.endMs == kChapterTimeUnset || chapter.endMs == chapter.startMs)
            chapter.endMs = i + 1 < in.size() ? in[i + 1].startMs : durationMs;
        std::optional<ChapterProblem> problem;
        if (chapter.startMs >= durationMs || chapter.endMs > durationMs + kChapterEndSlackMs)
            problem = ChapterProblem::PastEndOfAudio;
        else if (chapter.endMs <= chapter.startMs)
            problem = ChapterProblem::EndNotAfterStart;
        else if (!checked.chapters.empty() && chapter.startMs < checked.chapters.back().endMs)
            problem = ChapterProblem::OverlapsPrevious;
        if (problem) {
            checked.skipped.push_back({in[i], *problem});
            continue;
        }
        chapter.endMs = std::min(chapter.endMs, durationMs);
        checked.chapters.push_back(std::move(chapter));
    }
    return checked;
}

std::optional<ChapterList> ReadChapters(const std::filesystem::path& path,
                                        std::uint64_t durationMs) {
    std::optional<ChapterList> frames = ReadChapterFrames(path);
    if (!frames)
        return std::nullopt;
    return CheckChapters(std::move(*frames), durationMs);
}

}  // namespace partita
