#include "tags/non_mpeg_tags.h"

#include "app/code_page.h"
#include "tag_test_files.h"
#include "tags/tag_reader.h"
#include "tags/wma_tag_parser.h"

namespace partita {
namespace {

using NonMpegTagsTest = test::TempDirTest;

TagTexts ChineseTexts() {
    TagTexts texts;
    texts.title = "第一乐章 Allegro";
    texts.artist = "北京交响乐团";
    texts.album = "协奏曲";
    texts.year = "2019";
    texts.comment = "现场录音, live";
    texts.track = "3";
    texts.genre = "Classical";
    return texts;
}

// The writer's values: genre numbers of the ID3v1 list (199 for a name it lacks), year and track
// from their leading digits.
TEST(NonMpegTagFieldsTest, GenreNumberAndNumbers) {
    TagTexts texts;
    texts.genre = "rock";
    texts.year = "1999-05-01";
    texts.track = "3/12";
    auto fields = MakeNonMpegTagFields(texts);
    EXPECT_EQ(fields.genreNumber, 17);
    EXPECT_EQ(fields.year, 1999u);
    EXPECT_EQ(fields.track, 3u);
    texts.genre = "Chamber Pop Fusion";
    texts.year = "about 1990";
    texts.track = "";
    fields = MakeNonMpegTagFields(texts);
    EXPECT_EQ(fields.genreNumber, 199);
    EXPECT_EQ(fields.genre, "Chamber Pop Fusion");
    EXPECT_EQ(fields.year, 0u);
    EXPECT_EQ(fields.track, 0u);
    texts.genre = "";
    EXPECT_EQ(MakeNonMpegTagFields(texts).genreNumber, 199);
}

// A WAV file gets an ID3v2 chunk and a RIFF INFO list; both read back (also by ffprobe), the
// samples stay as they were.
TEST_F(NonMpegTagsTest, WavTagsWrittenAndReadBack) {
    auto samples = test::SynthesizePcm({{440, 700, 0.5}}, 44100, 2);
    test::WriteWav(dir / "a.wav", samples, 44100, 2);
    auto before = test::ReadFileBytes(dir / "a.wav");
    ASSERT_TRUE(WriteNonMpegTags(dir / "a.wav", ChineseTexts()));

    TagTexts read;
    ASSERT_TRUE(ReadNonMpegTags(dir / "a.wav", read));
    EXPECT_EQ(read, ChineseTexts());
    auto chunks = test::RiffChunks(dir / "a.wav");
    EXPECT_TRUE(std::find(chunks.begin(), chunks.end(), "id3 ") != chunks.end() ||
                std::find(chunks.begin(), chunks.end(), "ID3 ") != chunks.end());
    EXPECT_NE(std::find(chunks.begin(), chunks.end(), "LIST/INFO"), chunks.end());
    auto probed = test::ProbeTags(dir / "a.wav");
    EXPECT_EQ(probed["title"], "第一乐章 Allegro");
    EXPECT_EQ(probed["artist"], "北京交响乐团");
    // The format and data chunks are untouched.
    auto after = test::ReadFileBytes(dir / "a.wav");
    ASSERT_GE(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin() + 12, before.end(), after.begin() + 12));
    EXPECT_TRUE(test::DecodesCleanly(dir / "a.wav"));

    // Writing again replaces the texts; empty texts remove their fields.
    TagTexts other;
    other.title = "Second";
    other.genre = "Unknown Style";
    ASSERT_TRUE(WriteNonMpegTags(dir / "a.wav", other));
    ASSERT_TRUE(ReadNonMpegTags(dir / "a.wav", read));
    EXPECT_EQ(read, other);
    EXPECT_LE(test::fs::file_size(dir / "a.wav"), after.size());
}

// A WAV file whose INFO list names genre "(17)" shows Rock; INFO texts that are not UTF-8 are
// read in the legacy code page.
TEST_F(NonMpegTagsTest, WavInfoWrittenByOthers) {
    test::WriteWav(dir / "i.wav", test::SynthesizePcm({{440, 100}}, 8000, 1), 8000, 1);
    test::AppendRiffChunk(dir / "i.wav", test::InfoChunk({{"INAM", Utf8ToLegacy("中文标题", "GBK")},
                                                          {"IART", "Plain"},
                                                          {"IGNR", "(17)"},
                                                          {"ICRD", "2001"}}));
    TagTexts read;
    ASSERT_TRUE(ReadTags(dir / "i.wav", "GBK", read));
    EXPECT_EQ(read.title, "中文标题");
    EXPECT_EQ(read.artist, "Plain");
    EXPECT_EQ(read.genre, "Rock");
    EXPECT_EQ(read.year, "2001");
    EXPECT_TRUE(read.track.empty());  // no track: empty, not "0"
}

// A WMA file: attributes written and read back, Chinese included; its tag list carries the
// bitrate for the lists.
TEST_F(NonMpegTagsTest, WmaTagsWrittenAndReadBack) {
    // ffmpeg stores the title twice: in the content description and as an attribute "title".
    auto wma = test::MakeAudioFile(dir.Path(), "a.wma",
                                   {"-c:a", "wmav2", "-b:a", "128k", "-metadata", "title=Made"});
    TagTexts read;
    ASSERT_TRUE(ReadNonMpegTags(wma, read));
    EXPECT_EQ(read.title, "Made");

    ASSERT_TRUE(WriteNonMpegTags(wma, ChineseTexts()));
    ASSERT_TRUE(ReadNonMpegTags(wma, read));
    EXPECT_EQ(read, ChineseTexts());
    EXPECT_EQ(test::ProbeTags(wma)["title"], "第一乐章 Allegro");
    EXPECT_TRUE(test::DecodesCleanly(wma));

    TagTexts listed;
    int bitrate = 0;
    bool vbr = true;
    ParseWmaTags(ReadWmaTagList(wma), listed, bitrate, vbr);
    EXPECT_EQ(listed.title, "第一乐章 Allegro");
    EXPECT_EQ(listed.artist, "北京交响乐团");
    EXPECT_EQ(listed.album, "协奏曲");
    EXPECT_EQ(listed.year, "2019");
    EXPECT_EQ(listed.track, "3");
    EXPECT_EQ(listed.genre, "Classical");
    EXPECT_EQ(bitrate, 128);
    EXPECT_TRUE(vbr);  // the file does not say: unchanged
}

// Files that are neither WAV nor WMA and missing files give false; the corpus's odd and damaged
// files are read and written without harm, and what is written reads back.
TEST_F(NonMpegTagsTest, OtherAndBrokenFiles) {
    TagTexts read;
    EXPECT_FALSE(ReadNonMpegTags(dir / "missing.wav", read));
    EXPECT_FALSE(WriteNonMpegTags(dir / "missing.wma", ChineseTexts()));
    test::WriteFileText(dir / "x.mp3", "not a wav");
    EXPECT_FALSE(ReadNonMpegTags(dir / "x.mp3", read));
    EXPECT_FALSE(WriteNonMpegTags(dir / "x.mp3", ChineseTexts()));
    // Text under a WAV name is not a WAV file, and stays as it was.
    test::WriteFileText(dir / "text.wav", std::string(3000, 't'));
    EXPECT_FALSE(ReadNonMpegTags(dir / "text.wav", read));
    EXPECT_FALSE(WriteNonMpegTags(dir / "text.wav", ChineseTexts()));
    EXPECT_EQ(test::fs::file_size(dir / "text.wav"), 3000u);
    // RF64 reads as untagged and is not written.
    auto rf64 = test::CopyCorpusFile("rf64.wav", dir.Path());
    read.title = "stale";
    EXPECT_TRUE(ReadNonMpegTags(rf64, read));
    EXPECT_TRUE(read.Empty());
    EXPECT_FALSE(WriteNonMpegTags(rf64, ChineseTexts()));
    for (const char* name :
         {"invalid-chunk.wav", "segfault.wav", "rf64.wav", "infloop.wav", "real_example.wma"}) {
        auto copy = test::CopyCorpusFile(name, dir.Path());
        ReadNonMpegTags(copy, read);
        ReadWmaTagList(copy);
        WriteNonMpegTags(copy, ChineseTexts());
        ReadNonMpegTags(copy, read);
    }
    for (const char* name : {"duplicate_tags.wav", "zero-size-chunk.wav", "pcm_with_fact_chunk.wav",
                             "lossless.wma", "silence-1.wma"}) {
        auto copy = test::CopyCorpusFile(name, dir.Path());
        ASSERT_TRUE(ReadNonMpegTags(copy, read)) << name;
        ASSERT_TRUE(WriteNonMpegTags(copy, ChineseTexts())) << name;
        ASSERT_TRUE(ReadNonMpegTags(copy, read)) << name;
        EXPECT_EQ(read, ChineseTexts()) << name;
    }
}

}  // namespace
}  // namespace partita
