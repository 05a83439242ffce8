#include <taglib/chapterframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tableofcontentsframe.h>
#include <taglib/textidentificationframe.h>

#include <functional>
#include <sstream>

#include "support/test_support.h"
#include "tag_test_files.h"
#include "tags/chapter_frames.h"
#include "tags/chapter_reader.h"
#include "tags/id3v2.h"
#include "tags/tag_reader.h"

namespace partita {

void PrintTo(const Chapter& c, std::ostream* out) {
    *out << "{" << c.id << " \"" << c.title << "\" \"" << c.artist << "\" " << c.startMs << "-"
         << c.endMs << "}";
}

namespace {

using ChapterFileTest = test::TempDirTest;
namespace fs = std::filesystem;
using TagLib::ID3v2::ChapterFrame;
using TagLib::ID3v2::TableOfContentsFrame;

Chapter Make(std::string id, std::string title, std::uint64_t start, std::uint64_t end,
             std::string artist = {}) {
    return {std::move(id), std::move(title), std::move(artist), start, end};
}

// A 4-second CBR MP3 (lame writes it).
fs::path MakeSource(const fs::path& folder, const std::string& name = "source.mp3") {
    return test::MakeMp3(folder, name, {{440, 2000}, {660, 2000}}, {"-b", "128"});
}

// Gives `mp3` an ID3v2.4 tag with the frames `fill` adds, written by TagLib.
void TagWithTagLib(const fs::path& mp3, const std::function<void(TagLib::ID3v2::Tag&)>& fill) {
    TagLib::MPEG::File file(mp3.c_str(), false);
    ASSERT_TRUE(file.isValid());
    fill(*file.ID3v2Tag(true));
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers));
}

void AddChapter(TagLib::ID3v2::Tag& tag, const Chapter& c) {
    auto* frame = new ChapterFrame(c.id.c_str(), static_cast<unsigned>(c.startMs),
                                   static_cast<unsigned>(c.endMs), 0xFFFFFFFF, 0xFFFFFFFF);
    for (auto [id, text] : {std::pair{"TIT2", &c.title}, std::pair{"TPE1", &c.artist}}) {
        if (text->empty())
            continue;
        auto* sub = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
        sub->setText(TagLib::String(*text, TagLib::String::UTF8));
        frame->addEmbeddedFrame(sub);
    }
    tag.addFrame(frame);
}

void AddTable(TagLib::ID3v2::Tag& tag, const char* id, const std::vector<const char*>& children,
              bool topLevel, bool ordered) {
    TagLib::ByteVectorList list;
    for (const char* child : children)
        list.append(child);
    auto* table = new TableOfContentsFrame(id, list);
    table->setIsTopLevel(topLevel);
    table->setIsOrdered(ordered);
    tag.addFrame(table);
}

std::vector<ChapterProblem> Problems(const ChapterList& list) {
    std::vector<ChapterProblem> problems;
    for (const SkippedChapter& s : list.skipped)
        problems.push_back(s.problem);
    return problems;
}

// The chapters ffprobe reads (an independent reader): start and end in ms, and the title.
std::vector<Chapter> ProbeChapters(const fs::path& file) {
    std::string output;
    EXPECT_EQ(
        test::RunProgram({"ffprobe", "-v", "error", "-show_entries",
                          "chapter=start,end:chapter_tags=title", "-of", "csv=p=0", file.string()},
                         &output),
        0)
        << output;
    std::vector<Chapter> chapters;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string start, end, title;
        std::getline(fields, start, ',');
        std::getline(fields, end, ',');
        std::getline(fields, title);
        chapters.push_back(Make("", title, std::stoull(start), std::stoull(end)));
    }
    return chapters;
}

// Chapters TagLib wrote without a table of contents read back with their sub-frames, in the
// order of their start times, whatever the order of the frames. A file without a tag has no
// chapters; one that is not there cannot be read.
TEST_F(ChapterFileTest, ReadsChaptersInStartOrderWithoutTable) {
    fs::path mp3 = MakeSource(dir.Path());
    ASSERT_TRUE(ReadChapters(mp3, 4000));
    EXPECT_TRUE(ReadChapters(mp3, 4000)->chapters.empty());
    EXPECT_FALSE(ReadChapters(dir / "missing.mp3", 4000));
    const std::vector<Chapter> written = {
        Make("b", "Zweites Kapitel", 1500, 3000, "Erzählerin"),
        Make("a", "第一章", 0, 1500),
        Make("c", "", 3000, 4000),
    };
    TagWithTagLib(mp3, [&](TagLib::ID3v2::Tag& tag) {
        for (const Chapter& c : written)
            AddChapter(tag, c);
    });

    std::optional<ChapterList> list = ReadChapters(mp3, 4000);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->chapters, (std::vector<Chapter>{written[1], written[0], written[2]}));
    EXPECT_TRUE(list->skipped.empty());
}

// A top-level table orders the chapters, even against their times (the chapter then overlapping
// is reported, not moved); a nested table stands where it is listed, its entries sorted by time
// when it is not flagged ordered; ids without a frame and frames no table lists are reported.
TEST_F(ChapterFileTest, TableOfContentsDecidesTheOrder) {
    fs::path mp3 = MakeSource(dir.Path());
    TagWithTagLib(mp3, [](TagLib::ID3v2::Tag& tag) {
        AddChapter(tag, Make("c1", "One", 0, 1000));
        AddChapter(tag, Make("c2", "Two", 1000, 2000));
        AddChapter(tag, Make("c3", "Three", 2000, 3000));
        AddChapter(tag, Make("c4", "Four", 3000, 3500));
        AddChapter(tag, Make("stray", "Stray", 3500, 4000));
        AddTable(tag, "part", {"c3", "c2"}, false, false);
        AddTable(tag, "toc", {"c1", "part", "gone", "c4"}, true, true);
    });
    std::optional<ChapterList> frames = ReadChapterFrames(mp3);
    ASSERT_TRUE(frames);
    std::vector<std::string> ids;
    for (const Chapter& c : frames->chapters)
        ids.push_back(c.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"c1", "c2", "c3", "c4"}));
    EXPECT_EQ(Problems(*frames),
              (std::vector<ChapterProblem>{ChapterProblem::NotFound, ChapterProblem::NotInTable}));
    EXPECT_EQ(frames->skipped[0].chapter.id, "gone");
    EXPECT_EQ(frames->skipped[1].chapter.title, "Stray");

    fs::path reversed = MakeSource(dir.Path(), "reversed.mp3");
    TagWithTagLib(reversed, [](TagLib::ID3v2::Tag& tag) {
        AddChapter(tag, Make("a", "A", 0, 2000));
        AddChapter(tag, Make("b", "B", 2000, 4000));
        AddTable(tag, "toc", {"b", "a"}, true, true);
    });
    std::optional<ChapterList> list = ReadChapters(reversed, 4000);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->chapters.size(), 1u);
    EXPECT_EQ(list->chapters[0].id, "b");
    EXPECT_EQ(Problems(*list), std::vector<ChapterProblem>{ChapterProblem::OverlapsPrevious});
    EXPECT_EQ(list->skipped[0].chapter.title, "A");
}

// Chapters out of order or past the end are left out with their reason, never moved; an end
// within the slack is cut to the end of the audio; an unset end and a point mark run to the next
// chapter, the last one to the end of the audio.
TEST(CheckChapters, LeavesOutWhatItCannotTrust) {
    ChapterList in;
    in.chapters = {
        Make("open", "Open", 0, kChapterTimeUnset),
        Make("back", "Backwards", 2000, 1500),
        Make("one", "One", 1000, 3000),
        Make("overlap", "Overlap", 1500, 5000),
        Make("touch", "Touch", 3000, 9500),
        Make("late", "Late", 10000, 11000),
    };
    ChapterList out = CheckChapters(in, 10000);
    EXPECT_EQ(out.chapters, (std::vector<Chapter>{Make("open", "Open", 0, 2000),
                                                  Make("touch", "Touch", 3000, 9500)}));
    EXPECT_EQ(Problems(out),
              (std::vector<ChapterProblem>{
                  ChapterProblem::EndNotAfterStart, ChapterProblem::OverlapsPrevious,
                  ChapterProblem::OverlapsPrevious, ChapterProblem::PastEndOfAudio}));
    // "one" overlaps "open", whose end became the start of "back".
    EXPECT_EQ(out.skipped[1].chapter.id, "one");

    in.chapters = {Make("a", "A", 0, 5000), Make("b", "B", 5000, 10000 + kChapterEndSlackMs)};
    EXPECT_EQ(CheckChapters(in, 10000).chapters.back().endMs, 10000u);
    in.chapters = {Make("a", "A", 0, 5000), Make("b", "B", 5000, 10001 + kChapterEndSlackMs)};
    EXPECT_EQ(Problems(CheckChapters(in, 10000)),
              std::vector<ChapterProblem>{ChapterProblem::PastEndOfAudio});
    in.chapters = {Make("m1", "M1", 0, 0), Make("m2", "M2", 6000, 6000)};
    EXPECT_EQ(CheckChapters(in, 10000).chapters,
              (std::vector<Chapter>{Make("m1", "M1", 0, 6000), Make("m2", "M2", 6000, 10000)}));
}

// A real file whose one table is flagged neither top-level nor ordered lists 129 point marks:
// they read in time order, each running to the next, the last to the end its header gives.
TEST(ChapterFile, PointMarksOfAnUnflaggedTable) {
    std::optional<ChapterList> list =
        ReadChapters(test::CorpusFile("toc_many_children.mp3"), 13061);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->chapters.size(), 129u);
    EXPECT_TRUE(list->skipped.empty());
    EXPECT_EQ(list->chapters[0], Make("chapter0", "Marker 1", 100, 200));
    EXPECT_EQ(list->chapters[128], Make("chapter128", "Marker 129", 12900, 13061));
}

// Frames made by the program's builder, inside the tag WriteId3v2 writes, read back the same
// through TagLib and through ffprobe; the tag stays ID3v2.3 and its own texts read as before.
TEST_F(ChapterFileTest, WrittenChaptersReadBackEverywhere) {
    fs::path mp3 = MakeSource(dir.Path());
    const std::string longTitle(150, 'x');  // a sub-frame over 127 bytes: sizes are not synchsafe
    const std::vector<Chapter> chapters = {
        Make("", "Prologue", 0, 1300, "Narrator"),
        Make("", "第二章", 1300, 2600),
        Make("", longTitle, 2600, 4000),
    };
    TagInfo tags;
    tags.title = "Book";
    tags.artist = "Author";
    const std::vector<std::uint8_t> frames = MakeChapterFrames(chapters);
    // Text sub-frames are ISO-8859-1 (0) or UTF-16 (1): ID3v2.3 has no other encodings.
    const std::string bytes(frames.begin(), frames.end());
    for (const char* id : {"TIT2", "TPE1"}) {
        for (auto at = bytes.find(id); at != std::string::npos; at = bytes.find(id, at + 1))
            EXPECT_LE(bytes.at(at + 10), 1) << id << " at " << at;
    }
    ASSERT_TRUE(WriteId3v2(mp3, tags, frames));
    EXPECT_EQ(GetId3v2Size(mp3), MakeId3v2Tag(tags, frames).size());
    EXPECT_EQ(test::ReadFileBytes(mp3)[3], 3);

    std::optional<ChapterList> read = ReadChapters(mp3, 4000);
    ASSERT_TRUE(read);
    std::vector<Chapter> expected = chapters;
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i].id = "chp" + std::to_string(i + 1);
    EXPECT_EQ(read->chapters, expected);
    EXPECT_TRUE(read->skipped.empty());
    TagTexts texts;
    ASSERT_TRUE(ReadTags(mp3, "ISO-8859-1", texts));
    EXPECT_EQ(texts.title, "Book");
    EXPECT_EQ(texts.artist, "Author");

    std::vector<Chapter> probed = ProbeChapters(mp3);
    ASSERT_EQ(probed.size(), chapters.size());
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        EXPECT_EQ(probed[i].title, chapters[i].title) << i;
        EXPECT_EQ(probed[i].startMs, chapters[i].startMs) << i;
        EXPECT_EQ(probed[i].endMs, chapters[i].endMs) << i;
    }
    EXPECT_TRUE(test::DecodesCleanly(mp3));
    EXPECT_TRUE(MakeChapterFrames({}).empty());
}

}  // namespace
}  // namespace partita
