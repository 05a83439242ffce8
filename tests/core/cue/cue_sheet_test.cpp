#include <gtest/gtest.h>

#include "app/string_table.h"
#include "cue/cue_sheet.h"
#include "cue/cue_time.h"
#include "cue/cue_writer.h"
#include "cue/text_line_reader.h"
#include "support/test_support.h"

namespace partita {
namespace {

using test::ReadFileBytes;
using test::TempDirTest;
using test::WriteFileText;

// Sheets come with CR LF, LF, CR or LF CR line ends; blank lines count in line numbers but are
// skipped when reading on.
TEST(TextLineReader, SplitsEveryKindOfLineEnd) {
    TextLineReader reader;
    reader.SetText("a\r\nb\nc\rd\n\re\r\r  \tf \t\n\ng");
    std::vector<std::string> lines;
    for (int n = 1; n <= reader.LineCount(); ++n) {
        std::string line;
        ASSERT_TRUE(reader.ReadTextLine(n, line));
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "e", "", "f", "", "g"}));
    std::string line;
    EXPECT_FALSE(reader.ReadTextLine(10, line));

    int counter = 5;
    ASSERT_TRUE(reader.ReadNextTextLine(counter, line));
    EXPECT_EQ(line, "e");
    ASSERT_TRUE(reader.ReadNextTextLine(counter, line));
    EXPECT_EQ(line, "f");
    EXPECT_EQ(counter, 8);
    ASSERT_TRUE(reader.ReadNextTextLine(counter, line));
    EXPECT_EQ(line, "g");
    EXPECT_FALSE(reader.ReadNextTextLine(counter, line));
}

// UTF-8 with or without its mark is read as it is; other bytes through the legacy code page.
TEST(TextLineReader, DetectsTheEncoding) {
    TextEncoding found;
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBFTITLE \"\xE4\xBD\xA0\"", "GBK", &found), "TITLE \"你\"");
    EXPECT_EQ(found, TextEncoding::Utf8Bom);
    EXPECT_EQ(DecodeTextBytes("TITLE \"\xE4\xBD\xA0\"", "GBK", &found), "TITLE \"你\"");
    EXPECT_EQ(found, TextEncoding::Utf8);
    EXPECT_EQ(DecodeTextBytes("TITLE \"\xC4\xE3\xBA\xC3\"", "GBK", &found), "TITLE \"你好\"");
    EXPECT_EQ(found, TextEncoding::Legacy);
    EXPECT_EQ(DecodeTextBytes("caf\xE9", "ISO-8859-1"), "café");
    EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFEO\0K\0", 6), "GBK", &found), "OK");
    EXPECT_EQ(found, TextEncoding::Utf16Le);
}

// The value lies between the first and the last double quote.
TEST(CueKeys, QuotedValues) {
    std::string value = "x";
    EXPECT_TRUE(GetQuotedValue("TITLE \"Song\"", value));
    EXPECT_EQ(value, "Song");
    EXPECT_TRUE(GetQuotedValue("TITLE \"He said \"hi\"\" ", value));
    EXPECT_EQ(value, "He said \"hi\"");
    EXPECT_TRUE(GetQuotedValue("TITLE \"open", value));
    EXPECT_EQ(value, "");
    EXPECT_FALSE(GetQuotedValue("TITLE Song", value));
}

// Standard keys and the program's own "REM @" keys fill their fields and present bits; other
// lines (plain REM, CATALOG, FLAGS) are ignored; a known key without quotes fails.
TEST(CueKeys, KeyLines) {
    CueTrackRecord r;
    EXPECT_TRUE(ParseKeyLine("performer \"Band\"", r));
    EXPECT_TRUE(ParseKeyLine("TITLE \"Song\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @ALBUM \"LP\"", r));
    EXPECT_TRUE(ParseKeyLine("rem @year \"1999\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @COMMENT \"c\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @TRACK \"%S\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @GENRE \"Rock\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @FW OVERLAP \"0:02.500\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @BW OVERLAP \"1:00:00.000\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @SPLIT MODE \"2\"", r));
    EXPECT_TRUE(ParseKeyLine("REM @SELECTED \"0\"", r));
    EXPECT_EQ(r.performer, "Band");
    EXPECT_EQ(r.title, "Song");
    EXPECT_EQ(r.album, "LP");
    EXPECT_EQ(r.year, "1999");
    EXPECT_EQ(r.comment, "c");
    EXPECT_EQ(r.track, "%S");
    EXPECT_EQ(r.genre, "Rock");
    EXPECT_EQ(r.fwOverlapMs, 2500);
    EXPECT_EQ(r.bwOverlapMs, 3600000);
    EXPECT_EQ(r.splitMode, 2);
    EXPECT_EQ(r.selected, 0);
    EXPECT_EQ(r.present, 0x7FFu);

    CueTrackRecord other;
    EXPECT_TRUE(ParseKeyLine("REM GENRE \"Jazz\"", other));
    EXPECT_TRUE(ParseKeyLine("REM DATE 1999", other));
    EXPECT_TRUE(ParseKeyLine("CATALOG 0000000000000", other));
    EXPECT_TRUE(ParseKeyLine("FLAGS DCP", other));
    EXPECT_TRUE(ParseKeyLine("REM @UNKNOWN KEY", other));
    // Rippers' year and genre fill the fields the program's own keys leave empty.
    EXPECT_EQ(other.present, unsigned(CueTrackRecord::kGenre | CueTrackRecord::kYear));
    EXPECT_EQ(other.genre, "Jazz");
    EXPECT_EQ(other.year, "1999");
    EXPECT_EQ(other.selected, 1);
    EXPECT_FALSE(ParseKeyLine("TITLE Song", other));
    EXPECT_FALSE(ParseKeyLine("REM @SELECTED 1", other));

    // Over-long values are cut to their field, never inside a character.
    CueTrackRecord cut;
    EXPECT_TRUE(ParseKeyLine("REM @YEAR \"" + std::string(20, '9') + "\"", cut));
    EXPECT_EQ(cut.year, std::string(15, '9'));
    std::string title;
    for (int i = 0; i < 300; ++i)
        title += "音";
    EXPECT_TRUE(ParseKeyLine("TITLE \"" + title + "\"", cut));
    EXPECT_EQ(cut.title.size(), 255u * 3);
}

// INDEX times count CD frames of 1/75 s; writing drops the part of a frame, and every frame
// read comes back as the same frame.
TEST(CueTime, FramesOfOneSeventyFifth) {
    EXPECT_EQ(CueTimeToMs("03:25:50"), 205667u);
    EXPECT_EQ(CueTimeToMs("00:00:00"), 0u);
    EXPECT_EQ(CueTimeToMs("120:59:74"), 7259987u);
    EXPECT_EQ(CueTimeToMs("03:60:00"), 0u);
    EXPECT_EQ(CueTimeToMs("03:25:75"), 0u);
    EXPECT_EQ(CueTimeToMs("03:25"), 0u);
    EXPECT_EQ(CueTimeToMs("aa:bb:cc"), 0u);
    EXPECT_EQ(MsToCueTime(3723456), "62:03:34");
    EXPECT_EQ(MsToCueTime(0), "00:00:00");
    EXPECT_EQ(MsToCueTime(13), "00:00:00");
    EXPECT_EQ(MsToCueTime(14), "00:00:01");
    for (int frame = 0; frame < 75; ++frame) {
        char text[16];
        std::snprintf(text, sizeof text, "01:02:%02d", frame);
        EXPECT_EQ(MsToCueTime(CueTimeToMs(text)), text);
    }
}

class CueSheetTest : public TempDirTest {
  protected:
    void SetUp() override { SetCurrentLanguage(Language::English); }

    std::filesystem::path Sheet(const std::string& name, const std::string& bytes) {
        auto path = dir / name;
        WriteFileText(path, bytes);
        return path;
    }
    std::filesystem::path Audio(const std::string& name) {
        auto path = dir / name;
        WriteFileText(path, "not really audio");
        return path;
    }
};

// A sheet as rippers write it: REM lines, INDEX 00 pregaps, CR LF ends, a FILE name without
// folder found next to the sheet.
TEST_F(CueSheetTest, ReadsARipperSheet) {
    auto audio = Audio("album.wav");
    auto sheet = Sheet("album.cue",
                       "REM GENRE Rock\r\n"
                       "REM DATE 1999\r\n"
                       "REM DISCID 7A0B6C09\r\n"
                       "PERFORMER \"The Band\"\r\n"
                       "TITLE \"The Album\"\r\n"
                       "FILE \"album.wav\" WAVE\r\n"
                       "  TRACK 01 AUDIO\r\n"
                       "    TITLE \"One\"\r\n"
                       "    PERFORMER \"The Band\"\r\n"
                       "    INDEX 01 00:00:00\r\n"
                       "  TRACK 02 AUDIO\r\n"
                       "    TITLE \"Two\"\r\n"
                       "    FLAGS DCP\r\n"
                       "    INDEX 00 03:23:00\r\n"
                       "    INDEX 01 03:25:50\r\n"
                       "  TRACK 03 AUDIO\r\n"
                       "    TITLE \"Three\"\r\n"
                       "    PREGAP 00:02:00\r\n"
                       "    INDEX 01 07:00:74\r\n");
    CueSheet cue;
    ASSERT_TRUE(cue.Load(sheet)) << cue.Error().message.Text();
    EXPECT_TRUE(cue.IsCue());
    EXPECT_EQ(cue.AudioPath(), audio);
    EXPECT_EQ(cue.AudioType(), audio::AudioType::Wav);
    EXPECT_EQ(cue.CuePath(), sheet);
    EXPECT_EQ(cue.Header().title, "The Album");
    EXPECT_EQ(cue.Header().performer, "The Band");
    EXPECT_EQ(cue.Header().present, unsigned(CueTrackRecord::kTitle | CueTrackRecord::kPerformer |
                                             CueTrackRecord::kYear | CueTrackRecord::kGenre));
    ASSERT_EQ(cue.TrackCount(), 3);
    CueTrackRecord t;
    ASSERT_TRUE(cue.GetTrack(0, t));
    EXPECT_EQ(t.title, "One");
    EXPECT_EQ(t.startText, "0:00.000");
    EXPECT_EQ(t.endText, "0:00.000");
    ASSERT_TRUE(cue.GetTrack(1, t));
    EXPECT_EQ(t.title, "Two");
    EXPECT_EQ(t.startText, "3:23.000");
    EXPECT_EQ(t.endText, "3:25.667");
    EXPECT_EQ(t.selected, 1);
    ASSERT_TRUE(cue.GetTrack(2, t));
    EXPECT_EQ(t.startText, "7:00.987");
    EXPECT_EQ(t.endText, "7:00.987");
    EXPECT_FALSE(cue.GetTrack(3, t));
    EXPECT_FALSE(cue.GetTrack(-1, t));

    cue.Reset();
    EXPECT_EQ(cue.TrackCount(), 0);
    EXPECT_TRUE(cue.AudioPath().empty());
    EXPECT_TRUE(cue.CuePath().empty());
}

// A Chinese sheet saved by Windows tools in GBK reads through "Legacy Code Page"; the same text
// in UTF-8 with a byte order mark reads alike whatever the code page; LF-only ends too.
TEST_F(CueSheetTest, ReadsGbkAndUtf8Sheets) {
    Audio("歌.mp3");
    const std::string gbkTitle = "\xB8\xE8\xC7\xFA";  // 歌曲
    const std::string gbkFile = "\xB8\xE8.mp3";       // 歌.mp3
    auto gbk = Sheet("gbk.cue", "TITLE \"" + gbkTitle + "\"\nFILE \"" + gbkFile +
                                    "\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    CueSheet legacy("GBK");
    ASSERT_TRUE(legacy.Load(gbk)) << legacy.Error().message.Text();
    EXPECT_EQ(legacy.Header().title, "歌曲");
    EXPECT_EQ(legacy.AudioPath(), dir / "歌.mp3");
    EXPECT_EQ(legacy.AudioType(), audio::AudioType::Mpeg);

    auto utf8 = Sheet("utf8.cue",
                      "\xEF\xBB\xBFTITLE \"歌曲\"\nFILE \"歌.mp3\" MP3\nTRACK 01 AUDIO\n"
                      "INDEX 01 00:00:00\n");
    CueSheet withBom("GBK");
    ASSERT_TRUE(withBom.Load(utf8));
    EXPECT_EQ(withBom.Header().title, "歌曲");
    EXPECT_EQ(withBom.AudioPath(), dir / "歌.mp3");
}

// A FILE path that does not exist here (a Windows path, a moved folder) falls back to the same
// name next to the sheet; relative paths with folders start at the sheet; without a file next
// to the sheet the path stays as written so that the user can be asked for the file.
TEST_F(CueSheetTest, FindsTheAudioFile) {
    Audio("live.mp3");
    std::filesystem::create_directories(dir / "disc 1");
    Audio("disc 1/a.wav");
    const auto folder = dir.Path();
    EXPECT_EQ(ResolveSheetAudioPath("C:\\Music\\live.mp3", folder), folder / "live.mp3");
    EXPECT_EQ(ResolveSheetAudioPath("/no/such/folder/live.mp3", folder), folder / "live.mp3");
    EXPECT_EQ(ResolveSheetAudioPath("disc 1\\a.wav", folder), folder / "disc 1" / "a.wav");
    EXPECT_EQ(ResolveSheetAudioPath("disc 1/a.wav", folder), folder / "disc 1" / "a.wav");
    EXPECT_EQ(ResolveSheetAudioPath((folder / "live.mp3").string(), "/elsewhere"),
              folder / "live.mp3");
    EXPECT_EQ(ResolveSheetAudioPath("C:\\Music\\gone.mp3", folder), "C:\\Music\\gone.mp3");
    EXPECT_EQ(ResolveSheetAudioPath("gone.mp3", folder), folder / "gone.mp3");

    auto sheet = Sheet("live.cue",
                       "FILE \"D:\\Rips\\old.mp3\" MP3\r\n"
                       "FILE \"C:\\Users\\me\\Music\\live.mp3\" MP3\r\n"
                       "TRACK 01 AUDIO\r\nINDEX 01 00:00:00\r\n"
                       "FILE \"other.mp3\" MP3\r\nTRACK 02 AUDIO\r\nINDEX 01 01:00:00\r\n");
    CueSheet cue;
    ASSERT_TRUE(cue.Load(sheet));
    EXPECT_EQ(cue.AudioPath(), folder / "live.mp3");
    EXPECT_EQ(cue.TrackCount(), 2);
}

// Malformed sheets name the line (blank lines counted) or the track, and hold no tracks.
TEST_F(CueSheetTest, ReportsMalformedSheets) {
    struct Case {
        std::string text;
        Msg id;
        std::string message;
    };
    const Case cases[] = {
        {"REM x\r\n\r\nTITLE Album\r\nFILE \"a.wav\" WAVE\r\nTRACK 01 AUDIO\r\nINDEX 01 00:00:00",
         Msg::CueLineMalformed, "Line [3] is malformed"},
        {"FILE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", Msg::CueLineMalformed, "Line [1]"},
        {"TITLE \"x\"\n\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n", Msg::CueLineMalformed, "Line [3]"},
        {"TITLE \"x\"\nFILE \"a.wav\" WAVE\n\n", Msg::CueLineMalformed, "Line [4]"},
        {"FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\n\nTITLE One\nINDEX 01 00:00:00\n",
         Msg::CueLineMalformed, "Line [4]"},
        {"FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nTITLE \"x\"\n"
         "TRACK 03 AUDIO\nINDEX 01 01:00:00\n",
         Msg::CueTrackTimeUnreadable, "track [2]"},
        {"FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\n",
         Msg::CueTrackTimeUnreadable, "track [2]"},
        {"FILE \"a.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:01:00\n"
         "INDEX 02 00:02:00\n",
         Msg::CueTrackTimeUnreadable, "track [1]"},
    };
    for (const Case& c : cases) {
        auto sheet = Sheet("bad.cue", c.text);
        CueSheet cue;
        EXPECT_FALSE(cue.Load(sheet)) << c.text;
        EXPECT_EQ(cue.Error().message.Id(), c.id) << c.text;
        EXPECT_NE(cue.Error().message.Text().find(c.message), std::string::npos)
            << c.text << " -> " << cue.Error().message.Text();
        EXPECT_EQ(cue.TrackCount(), 0);
    }

    CueSheet missing;
    EXPECT_FALSE(missing.Load(dir / "none.cue"));
    EXPECT_EQ(missing.Error().message.Id(), Msg::CannotOpenFile);
    EXPECT_EQ(missing.Error().code, ErrorCode::NotFound);
}

// A path that is not a sheet loads as the audio file itself; an unreadable INDEX time is 0.
TEST_F(CueSheetTest, AudioPathsAndOddTimes) {
    CueSheet cue;
    ASSERT_TRUE(cue.Load(dir / "song.MP3"));
    EXPECT_FALSE(cue.IsCue());
    EXPECT_EQ(cue.TrackCount(), 0);
    EXPECT_EQ(cue.AudioPath(), dir / "song.MP3");
    EXPECT_EQ(cue.AudioType(), audio::AudioType::Mpeg);

    auto sheet = Sheet("odd.CUE", "FILE \"a.wav\" WAVE\rTRACK 01 AUDIO\rINDEX 01 1:99:00\r");
    ASSERT_TRUE(cue.Load(sheet));
    ASSERT_EQ(cue.TrackCount(), 1);
    EXPECT_EQ(cue.Tracks()[0].startText, "0:00.000");
}

// A track as the list makes it: a copy of its source's fields with its own title and start.
CueTrackRecord Record(const CueTrackRecord& source, std::string title, std::string start) {
    CueTrackRecord r = source;
    r.title = std::move(title);
    r.startText = start;
    r.endText = start;
    return r;
}

// The header writes every field; a track only what differs from the header, and its check
// state; INDEX 01 holds the start in frames.
TEST_F(CueSheetTest, WritesSheets) {
    CueTrackRecord header;
    header.title = "Album";
    header.performer = "Band";
    header.genre = "Rock";
    header.fwOverlapMs = 1000;
    header.splitMode = 2;
    std::vector<CueTrackRecord> tracks{Record(header, "Album", "0:00.000"),
                                       Record(header, "Two", "1:02:03.456")};
    tracks[1].performer = "Guest";
    tracks[1].fwOverlapMs = 0;
    tracks[1].bwOverlapMs = 500;
    tracks[1].selected = 0;
    auto sheet = dir / "out.cue";
    ASSERT_TRUE(WriteCueSheet(sheet, "a.mp3", header, tracks).ok());
    auto bytes = ReadFileBytes(sheet);
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text,
              "REM ** Generated by Partita Studio ** \r\n"
              "PERFORMER \"Band\"\r\n"
              "TITLE \"Album\"\r\n"
              "REM @ALBUM \"\"\r\n"
              "REM @YEAR \"\"\r\n"
              "REM @COMMENT \"\"\r\n"
              "REM @TRACK \"\"\r\n"
              "REM @GENRE \"Rock\"\r\n"
              "REM @FW OVERLAP \"0:01.000\"\r\n"
              "REM @BW OVERLAP \"0:00.000\"\r\n"
              "REM @SPLIT MODE \"2\"\r\n"
              "FILE \"a.mp3\" MP3\r\n"
              "  TRACK 01 AUDIO\r\n"
              "    REM @SELECTED \"1\"\r\n"
              "    INDEX 01 00:00:00\r\n"
              "  TRACK 02 AUDIO\r\n"
              "    PERFORMER \"Guest\"\r\n"
              "    TITLE \"Two\"\r\n"
              "    REM @FW OVERLAP \"0:00.000\"\r\n"
              "    REM @BW OVERLAP \"0:00.500\"\r\n"
              "    REM @SELECTED \"0\"\r\n"
              "    INDEX 01 62:03:34\r\n");

    // Non-ASCII text is marked as UTF-8; line ends inside values cannot break the sheet.
    header.title = "专辑\r\nFILE \"x\"";
    ASSERT_TRUE(WriteCueSheet(sheet, "/music/a.WAV", header, tracks).ok());
    bytes = ReadFileBytes(sheet);
    text.assign(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(text.find("TITLE \"专辑  FILE \"x\"\"\r\n"), std::string::npos);
    EXPECT_NE(text.find("FILE \"/music/a.WAV\" WAVE\r\n"), std::string::npos);

    EXPECT_EQ(WriteCueSheet(dir / "no such folder" / "x.cue", "a.mp3", header, tracks).code,
              ErrorCode::WriteFailed);
}

// What the writer writes, the reader reads back: the same starts (to the frame), check states
// and the fields each track differs in.
TEST_F(CueSheetTest, RecordsRoundTrip) {
    Audio("a.mp3");
    CueTrackRecord header;
    header.title = "Album 专辑";
    header.performer = "Band";
    header.album = "LP";
    header.year = "2001";
    header.comment = "He said \"hi\"";
    header.track = "%S";
    header.genre = "Jazz";
    header.bwOverlapMs = 250;
    header.splitMode = 1;
    std::vector<CueTrackRecord> tracks{Record(header, "One", "0:00.000"),
                                       Record(header, "", "3:25.667"),
                                       Record(header, "Three", "1:00:00.040")};
    tracks[1].selected = 0;
    tracks[2].genre = "Rock";
    tracks[2].fwOverlapMs = 3000;
    tracks[0].title = header.title;
    ASSERT_TRUE(WriteCueSheet(dir / "a.cue", "a.mp3", header, tracks).ok());

    CueSheet cue("GBK");
    ASSERT_TRUE(cue.Load(dir / "a.cue")) << cue.Error().message.Text();
    EXPECT_EQ(cue.AudioPath(), dir / "a.mp3");
    const CueTrackRecord& h = cue.Header();
    EXPECT_EQ(h.title, header.title);
    EXPECT_EQ(h.performer, "Band");
    EXPECT_EQ(h.album, "LP");
    EXPECT_EQ(h.year, "2001");
    EXPECT_EQ(h.comment, header.comment);
    EXPECT_EQ(h.track, "%S");
    EXPECT_EQ(h.genre, "Jazz");
    EXPECT_EQ(h.bwOverlapMs, 250);
    EXPECT_EQ(h.fwOverlapMs, 0);
    EXPECT_EQ(h.splitMode, 1);
    ASSERT_EQ(cue.TrackCount(), 3);
    const auto& t = cue.Tracks();
    EXPECT_EQ(t[0].present, unsigned(CueTrackRecord::kSelected));
    EXPECT_EQ(t[0].startText, "0:00.000");
    EXPECT_EQ(t[1].title, "");
    EXPECT_TRUE(t[1].Has(CueTrackRecord::kTitle));
    EXPECT_EQ(t[1].selected, 0);
    EXPECT_EQ(t[1].startText, "3:25.667");
    EXPECT_EQ(t[2].title, "Three");
    EXPECT_EQ(t[2].genre, "Rock");
    EXPECT_EQ(t[2].fwOverlapMs, 3000);
    EXPECT_FALSE(t[2].Has(CueTrackRecord::kBwOverlap));
    EXPECT_EQ(t[2].startText, "1:00:00.040");
}

}  // namespace
}  // namespace partita
