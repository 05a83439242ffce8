#include "tags/tag_reader.h"

#include "app/code_page.h"
#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "tag_test_files.h"
#include "tags/non_mpeg_tags.h"

namespace partita {
namespace {

using TagReaderTest = test::TempDirTest;

// An ID3v1 tag of raw bytes: title, artist, album, year, comment with a track, genre.
std::vector<std::uint8_t> Id3v1(const std::string& title, const std::string& artist,
                                const std::string& year, int track, int genre) {
    std::vector<std::uint8_t> tag(128, 0);
    std::copy_n("TAG", 3, tag.begin());
    std::copy(title.begin(), title.end(), tag.begin() + 3);
    std::copy(artist.begin(), artist.end(), tag.begin() + 33);
    std::copy(year.begin(), year.end(), tag.begin() + 93);
    tag[126] = static_cast<std::uint8_t>(track);
    tag[127] = static_cast<std::uint8_t>(genre);
    return tag;
}

test::fs::path Mp3WithId3v1(const test::fs::path& folder, const std::vector<std::uint8_t>& tag) {
    auto mp3 = test::MakeMp3(folder, "v1.mp3", {{440, 300, 0.5}}, {"-b", "64"});
    auto bytes = test::ReadFileBytes(mp3);
    bytes.insert(bytes.end(), tag.begin(), tag.end());
    test::WriteFileBytes(mp3, bytes);
    return mp3;
}

// ID3v1 texts are decoded in the legacy code page, from the setting or as given.
TEST_F(TagReaderTest, Id3v1InTheLegacyCodePage) {
    auto mp3 = Mp3WithId3v1(dir.Path(), Id3v1(Utf8ToLegacy("中文标题", "GBK"),
                                              Utf8ToLegacy("歌手", "GBK"), "1998", 5, 17));
    TagTexts read;
    ASSERT_TRUE(ReadTags(mp3, "GBK", read));
    EXPECT_EQ(read.title, "中文标题");
    EXPECT_EQ(read.artist, "歌手");
    EXPECT_EQ(read.year, "1998");
    EXPECT_EQ(read.track, "5");
    EXPECT_EQ(read.genre, "Rock");
    EXPECT_TRUE(read.album.empty());

    MemorySettingsStore settings;
    ASSERT_TRUE(ReadTags(mp3, settings, read));  // default ISO-8859-1: not the Chinese text
    EXPECT_NE(read.title, "中文标题");
    EXPECT_EQ(read.title, LegacyToUtf8(Utf8ToLegacy("中文标题", "GBK"), "ISO-8859-1"));
    settings::LegacyCodePage.Write(settings, "GBK");
    ASSERT_TRUE(ReadTags(mp3, settings, read));
    EXPECT_EQ(read.title, "中文标题");
}

// An MPEG file with both tags yields the ID3v2 field where there is one, else the ID3v1 field;
// a genre "(17)" reads as its name.
TEST_F(TagReaderTest, Id3v2FirstThenId3v1) {
    auto plain = test::MakeMp3(dir.Path(), "p.mp3", {{440, 300, 0.5}}, {"-b", "64"});
    test::Ffmpeg(plain, dir / "both.mp3",
                 {"-c", "copy", "-id3v2_version", "3", "-metadata", "title=标题二", "-metadata",
                  "genre=(17)", "-metadata", "track=4/9"});
    auto bytes = test::ReadFileBytes(dir / "both.mp3");
    auto v1 = Id3v1("Old Title", "Old Artist", "1977", 2, 8);
    bytes.insert(bytes.end(), v1.begin(), v1.end());
    test::WriteFileBytes(dir / "both.mp3", bytes);

    TagTexts read;
    ASSERT_TRUE(ReadTags(dir / "both.mp3", "ISO-8859-1", read));
    EXPECT_EQ(read.title, "标题二");
    EXPECT_EQ(read.artist, "Old Artist");
    EXPECT_EQ(read.year, "1977");
    EXPECT_EQ(read.track, "4");
    EXPECT_EQ(read.genre, "Rock");

    // The same file named .mpa is known by its content.
    test::fs::copy_file(dir / "both.mp3", dir / "both.mpa");
    TagTexts again;
    ASSERT_TRUE(ReadTags(dir / "both.mpa", "ISO-8859-1", again));
    EXPECT_EQ(again, read);
}

// Ogg Vorbis comments, the ID3v2 chunk of AIFF, WAV and WMA tags are all read, Chinese included.
TEST_F(TagReaderTest, EveryFormatsTags) {
    const std::vector<std::string> metadata{"-metadata",   "title=夜曲", "-metadata",
                                            "artist=肖邦", "-metadata",  "album=Nocturnes"};
    auto with = [&](std::vector<std::string> options) {
        options.insert(options.end(), metadata.begin(), metadata.end());
        return options;
    };
    // (ffmpeg names the WMA year attribute by the name it is given.)
    for (const auto& file :
         {test::MakeAudioFile(dir.Path(), "a.ogg",
                              with({"-c:a", "libvorbis", "-metadata", "date=1832"})),
          test::MakeAudioFile(dir.Path(), "a.aiff",
                              with({"-write_id3v2", "1", "-metadata", "date=1832"})),
          test::MakeAudioFile(dir.Path(), "a.wma",
                              with({"-c:a", "wmav2", "-metadata", "WM/Year=1832"}))}) {
        TagTexts read;
        ASSERT_TRUE(ReadTags(file, "ISO-8859-1", read)) << file;
        EXPECT_EQ(read.title, "夜曲") << file;
        EXPECT_EQ(read.artist, "肖邦") << file;
        EXPECT_EQ(read.album, "Nocturnes") << file;
        EXPECT_EQ(read.year, "1832") << file;
    }
    test::WriteWav(dir / "w.wav", test::SynthesizePcm({{440, 100}}, 8000, 1), 8000, 1);
    TagTexts texts;
    texts.title = "波兰舞曲";
    texts.track = "12";
    ASSERT_TRUE(WriteNonMpegTags(dir / "w.wav", texts));
    TagTexts read;
    ASSERT_TRUE(ReadTags(dir / "w.wav", "ISO-8859-1", read));
    EXPECT_EQ(read, texts);
}

// A file without tags reads as seven empty texts; a file that is not audio or is missing fails.
TEST_F(TagReaderTest, UntaggedMissingAndForeignFiles) {
    auto plain = test::MakeMp3(dir.Path(), "p.mp3", {{440, 300, 0.5}}, {"-b", "64"});
    TagTexts read;
    read.title = "stale";
    ASSERT_TRUE(ReadTags(plain, "ISO-8859-1", read));
    EXPECT_TRUE(read.Empty());
    test::WriteWav(dir / "w.wav", test::SynthesizePcm({{440, 100}}, 8000, 1), 8000, 1);
    ASSERT_TRUE(ReadTags(dir / "w.wav", "ISO-8859-1", read));
    EXPECT_TRUE(read.Empty());

    read.title = "stale";
    EXPECT_FALSE(ReadTags(dir / "missing.mp3", "ISO-8859-1", read));
    EXPECT_TRUE(read.Empty());
    test::WriteFileText(dir / "notes.txt", "just text\n");
    EXPECT_FALSE(ReadTags(dir / "notes.txt", "ISO-8859-1", read));
    EXPECT_FALSE(ReadTags(dir.Path(), "ISO-8859-1", read));
}

// Every file of the corpus is read without a crash or sanitizer report.
TEST_F(TagReaderTest, CorpusFilesReadSafely) {
    for (const auto& entry :
         test::fs::directory_iterator(test::CorpusFile("alaw.wav").parent_path())) {
        TagTexts read;
        ReadTags(entry.path(), "GBK", read);
    }
    TagTexts read;
    ASSERT_TRUE(ReadTags(test::CorpusFile("id3v22-tda.mp3"), "ISO-8859-1", read));
    EXPECT_FALSE(read.Empty());
}

}  // namespace
}  // namespace partita
