#include <taglib/chapterframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "cli_support.h"
#include "mpeg/mpeg_analysis.h"

namespace partita {
namespace {

using ChaptersCliTest = test::TempDirTest;
using test::RunCli;
namespace fs = std::filesystem;

struct Mark {
    const char* title;
    const char* artist;
    unsigned startMs, endMs;
};

// Gives `mp3` CHAP frames (without a table of contents) written by TagLib itself.
void TagChapters(const fs::path& mp3, const std::vector<Mark>& marks) {
    TagLib::MPEG::File file(mp3.c_str(), false);
    ASSERT_TRUE(file.isValid());
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    int n = 0;
    for (const Mark& m : marks) {
        const std::string id = "ch" + std::to_string(++n);
        auto* frame =
            new TagLib::ID3v2::ChapterFrame(id.c_str(), m.startMs, m.endMs, 0xFFFFFFFF, 0xFFFFFFFF);
        for (auto [key, text] : {std::pair{"TIT2", m.title}, std::pair{"TPE1", m.artist}}) {
            if (!*text)
                continue;
            auto* sub = new TagLib::ID3v2::TextIdentificationFrame(key, TagLib::String::UTF8);
            sub->setText(TagLib::String(text, TagLib::String::UTF8));
            frame->addEmbeddedFrame(sub);
        }
        tag->addFrame(frame);
    }
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers));
}

// The audio frames of an MPEG file: its bytes from the first audio frame to the end of the audio.
std::vector<std::uint8_t> AudioFrames(const fs::path& mp3) {
    MpegAnalysis info;
    EXPECT_TRUE(info.Open(mp3.string()) && info.streamFound) << mp3;
    std::vector<std::uint8_t> bytes = test::ReadFileBytes(mp3);
    return {bytes.begin() + static_cast<std::ptrdiff_t>(info.dataStart),
            bytes.begin() + static_cast<std::ptrdiff_t>(info.audioEnd)};
}

struct Probed {
    std::string title;
    double startMs, endMs;
};

// The chapters ffprobe reads from a file (an independent reader).
std::vector<Probed> ProbeChapters(const fs::path& file) {
    std::string out;
    EXPECT_EQ(test::RunProgram(
                  {"ffprobe", "-v", "error", "-show_chapters", "-of", "json", file.string()}, &out),
              0)
        << out;
    std::vector<Probed> chapters;
    const nlohmann::json probed = nlohmann::json::parse(out);
    for (const auto& c : probed["chapters"]) {
        chapters.push_back({c["tags"].value("title", ""),
                            1000 * std::stod(c["start_time"].get<std::string>()),
                            1000 * std::stod(c["end_time"].get<std::string>())});
    }
    return chapters;
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

constexpr double kFrameMs = 1152 * 1000.0 / 44100;

// Split at the chapters: one output per chapter, titled after it, whose frames together are the
// source's; joined with --chapters, the chapters come back with their titles and boundaries;
// without an ID3v2 tag the join says it cannot keep them.
TEST_F(ChaptersCliTest, SplitAtChaptersAndJoinThemBack) {
    fs::path book = test::MakeMp3(dir.Path(), "book.mp3", {{440, 2000}, {660, 2000}, {880, 2000}},
                                  {"-b", "128"});
    TagChapters(
        book,
        {{"Opening", "Reader", 0, 2000}, {"Middle", "", 2000, 4000}, {"Close", "", 4000, 6000}});
    const std::string ini = (dir / "s.ini").string();
    auto split = RunCli({"--settings", ini, "split", book.string(), "--chapters", "-o",
                         (dir / "out").string(), "--rule", "%S %T"});
    ASSERT_EQ(split.code, 0) << split.output;
    const std::vector<fs::path> parts = FilesIn(dir / "out");
    ASSERT_EQ(parts.size(), 3u);
    std::vector<std::uint8_t> joined;
    const char* titles[] = {"Opening", "Middle", "Close"};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        TagLib::MPEG::File file(parts[i].c_str(), false);
        ASSERT_TRUE(file.hasID3v2Tag()) << parts[i];
        EXPECT_EQ(file.ID3v2Tag()->title().to8Bit(true), titles[i]);
        std::vector<std::uint8_t> frames = AudioFrames(parts[i]);
        joined.insert(joined.end(), frames.begin(), frames.end());
    }
    EXPECT_EQ(TagLib::MPEG::File(parts[0].c_str(), false).ID3v2Tag()->artist().to8Bit(true),
              "Reader");
    EXPECT_TRUE(joined == AudioFrames(book));

    std::vector<std::string> merge{"--settings", ini, "merge", "-q", "--chapters"};
    for (const fs::path& part : parts)
        merge.push_back(part.string());
    merge.insert(merge.end(), {"-o", (dir / "joined.mp3").string()});
    auto r = RunCli(merge);
    ASSERT_EQ(r.code, 0) << r.output;
    const std::vector<Probed> chapters = ProbeChapters(dir / "joined.mp3");
    ASSERT_EQ(chapters.size(), 3u);
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        EXPECT_EQ(chapters[i].title, titles[i]);
        EXPECT_NEAR(chapters[i].startMs, 2000.0 * static_cast<double>(i), kFrameMs) << i;
    }
    EXPECT_NEAR(chapters[2].endMs, 6000, 2 * kFrameMs);
    // Players that know no chapters still read the tag and play the audio.
    EXPECT_TRUE(test::DecodesCleanly(dir / "joined.mp3"));

    merge.back() = (dir / "untagged.mp3").string();
    merge.insert(merge.end() - 2, "--no-id3v2");
    r = RunCli(merge);
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_NE(r.output.find("with ID3v2 writing off, the joined file gets no chapters"),
              std::string::npos)
        << r.output;
    EXPECT_TRUE(ProbeChapters(dir / "untagged.mp3").empty());
}

// A convert join marks each input where its audio starts, the silence after it included, and
// names it by its title tag, else its file name.
TEST_F(ChaptersCliTest, ConvertJoinMarksEachInput) {
    const fs::path a = dir / "a.wav";
    test::WriteWav(a, test::SynthesizePcm({{440, 1500}}, 44100, 2), 44100, 2);
    fs::path b = test::MakeMp3(dir.Path(), "b.mp3", {{660, 2000}}, {"-b", "128", "--tt", "Bee"});
    fs::path c = test::MakeMp3(dir.Path(), "c.mp3", {{880, 1000}}, {"-b", "64"});
    auto r = RunCli({"--settings", (dir / "s.ini").string(), "merge", "-q", "--chapters",
                     "--no-gapless", "--silence", "1", a.string(), b.string(), c.string(), "-o",
                     (dir / "joined.mp3").string()});
    ASSERT_EQ(r.code, 0) << r.output;
    auto lengthMs = [](const fs::path& file) {
        return static_cast<double>(test::DecodePcm(file, "ffmpeg").size()) / 2 / 44.1;
    };
    const double second = lengthMs(a) + 1000;
    const double third = second + lengthMs(b) + 1000;
    const std::vector<Probed> chapters = ProbeChapters(dir / "joined.mp3");
    ASSERT_EQ(chapters.size(), 3u);
    EXPECT_EQ(chapters[0].title, "a");
    EXPECT_EQ(chapters[1].title, "Bee");
    EXPECT_EQ(chapters[2].title, "c");
    EXPECT_EQ(chapters[0].startMs, 0);
    EXPECT_NEAR(chapters[1].startMs, second, kFrameMs);
    EXPECT_NEAR(chapters[2].startMs, third, kFrameMs);
    EXPECT_EQ(chapters[0].endMs, chapters[1].startMs);
}

// Chapters out of order or past the end are reported with their numbers and left out, the rest
// become tracks (a stretch outside every chapter an unchecked one); the setting does the same at
// load. A source without chapters is refused, and a split with no source left runs no job.
TEST_F(ChaptersCliTest, BadChaptersAreReportedAndLeftOut) {
    fs::path book = test::MakeMp3(dir.Path(), "book.mp3", {{440, 4000}}, {"-b", "128"});
    fs::path plain = dir / "plain.mp3";
    fs::copy_file(book, plain);
    TagChapters(book, {{"One", "", 0, 2000},
                       {"Two", "", 2000, 3900},
                       {"Back", "", 2500, 1000},
                       {"Echo", "", 3000, 3500},
                       {"Far", "", 3900, 60000}});
    const std::string ini = (dir / "s.ini").string();
    auto r = RunCli(
        {"--settings", ini, "cue", book.string(), "--chapters", "-o", (dir / "a.cue").string()});
    ASSERT_EQ(r.code, 0) << r.output;
    for (const char* said : {"Chapter 3 \"Back\" of ", "it does not end after it starts",
                             "Chapter 4 \"Echo\" of ", "Chapter 5 \"Far\" of "}) {
        EXPECT_NE(r.output.find(said), std::string::npos) << said << "\n" << r.output;
    }
    EXPECT_EQ(r.output.find("\"One\""), std::string::npos) << r.output;

    auto r2 = RunCli({"--settings", ini, "--set", "MP3 Splitter/Split At Chapters=1", "cue",
                      book.string(), "-o", (dir / "b.cue").string()});
    ASSERT_EQ(r2.code, 0) << r2.output;
    for (const char* sheet : {"a.cue", "b.cue"}) {
        std::string text;
        for (std::uint8_t byte : test::ReadFileBytes(dir / sheet))
            text += static_cast<char>(byte);
        EXPECT_NE(text.find("TITLE \"One\""), std::string::npos) << text;
        EXPECT_NE(text.find("TITLE \"Two\""), std::string::npos);
        EXPECT_NE(text.find("INDEX 01 00:03:67"), std::string::npos) << text;  // 3.9 s in CD frames
        EXPECT_NE(text.find("SELECTED \"0\""), std::string::npos);
        EXPECT_EQ(text.find("TRACK 04"), std::string::npos);
    }

    r = RunCli(
        {"--settings", ini, "split", plain.string(), "--chapters", "-o", (dir / "out").string()});
    EXPECT_NE(r.code, 0);
    EXPECT_NE(r.output.find("has no chapters to split at"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("did not write every track"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(dir / "out") && !fs::is_empty(dir / "out"));
}

}  // namespace
}  // namespace partita
