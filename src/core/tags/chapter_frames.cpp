#include "tags/chapter_frames.h"

#include <taglib/chapterframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/tableofcontentsframe.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>
#include <string>

#include "tags/taglib_support.h"

namespace partita {
namespace {

constexpr std::uint32_t kNoOffset = 0xFFFFFFFF;
constexpr std::uint64_t kLatestTime = kChapterTimeUnset - 1;
constexpr std::size_t kHeaderSize = 10;  // of the tag and of each ID3v2.3 frame

unsigned int FrameTime(std::uint64_t ms) {
    return static_cast<unsigned int>(std::min(ms, kLatestTime));
}

// A text sub-frame; TagLib writes it as ISO-8859-1 when it can, else as UTF-16 in ID3v2.3.
TagLib::ID3v2::Frame* TextFrame(const char* id, const std::string& text) {
    auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::Latin1);
    frame->setText(taglib_support::FromUtf8(text));
    return frame;
}

}  // namespace

std::vector<std::uint8_t> MakeChapterFrames(std::span<const Chapter> chapters) {
    if (chapters.empty())
        return {};
    TagLib::ID3v2::Tag tag;  // owns the frames added to it
    TagLib::ByteVectorList ids;
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const Chapter& chapter = chapters[i];
        const TagLib::ByteVector id(("chp" + std::to_string(i + 1)).c_str());
        auto* frame = new TagLib::ID3v2::ChapterFrame(
            id, FrameTime(chapter.startMs), FrameTime(chapter.endMs), kNoOffset, kNoOffset);
        frame->addEmbeddedFrame(TextFrame("TIT2", chapter.title));
        if (!chapter.artist.empty())
            frame->addEmbeddedFrame(TextFrame("TPE1", chapter.artist));
        tag.addFrame(frame);
        ids.append(id);
    }
    auto* table = new TagLib::ID3v2::TableOfContentsFrame("toc", ids);
    table->setIsTopLevel(true);
    table->setIsOrdered(true);
    tag.addFrame(table);

    // The rendered tag is its header, the frames and padding; the frames are measured by their
    // sizes (plain big-endian in ID3v2.3) up to the padding's first zero byte.
    const TagLib::ByteVector rendered = tag.render(TagLib::ID3v2::v3);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(rendered.data());
    std::size_t end = kHeaderSize;
    while (end + kHeaderSize <= rendered.size() && bytes[end] != 0) {
        const std::uint32_t size = (std::uint32_t{bytes[end + 4]} << 24) |
                                   (std::uint32_t{bytes[end + 5]} << 16) |
                                   (std::uint32_t{bytes[end + 6]} << 8) | bytes[end + 7];
        end += kHeaderSize + size;
    }
    end = std::min<std::size_t>(end, rendered.size());
    return std::vector<std::uint8_t>(bytes + kHeaderSize, bytes + end);
}

}  // namespace partita
