#include <gtest/gtest.h>

#include <map>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "app/time_text.h"
#include "cue/cue_list.h"
#include "split/add_source.h"
#include "split/split_engine.h"
#include "split/split_job.h"
#include "split/split_list_commands.h"
#include "split/split_options.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

using test::ReadFileBytes;
using test::ScriptedHost;
using test::WriteFileText;

// Facts of files the test declares; any other path cannot be loaded.
class FakeProbe : public SourceProbe {
  public:
    std::map<std::string, SourceFacts> files;
    std::optional<SourceFacts> Probe(const std::string& path, SplitMode, const LoadProgress&,
                                     ProbeFailure*) override {
        auto it = files.find(path);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
};

SourceFacts Mp3Facts(std::uint64_t durationMs) {
    SourceFacts facts;
    facts.audioType = audio::AudioType::Mpeg;
    facts.durationMs = durationMs;
    facts.tags.title = "Tag Title";
    facts.tags.artist = "Tag Artist";
    facts.tags.album = "Tag Album";
    facts.tags.genre = "Pop";
    return facts;
}

struct Row {
    std::string times;
    int selected;
    std::string title;
    std::string artist;
};

class CueListTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        SetCurrentLanguage(Language::English);
        settings::SplitId3AutoSequence.Write(settings, 0);
        settings::SplitId3AutoTrack.Write(settings, 0);
    }

    std::string Audio(const std::string& name, SourceFacts facts) {
        std::string path = (dir / name).string();
        WriteFileText(path, "audio");
        probe.files[path] = facts;
        return path;
    }
    std::string Sheet(const std::string& name, const std::string& text) {
        std::string path = (dir / name).string();
        WriteFileText(path, text);
        return path;
    }
    RowId Add(const std::string& path, const AudioFileChooser& chooser = {}) {
        return AddSourcePath(list, SourceLoadDefaultsFromSettings(settings), host, probe, path,
                             chooser);
    }
    std::vector<Row> Rows(RowId source) {
        std::vector<Row> rows;
        for (RowId t : list.Children(source)) {
            rows.push_back({list.CellText(t, kColTrack), list.Row(t).checked,
                            list.CellText(t, kColTitle), list.CellText(t, kColArtist)});
        }
        return rows;
    }
    std::string SheetText(const std::string& path) {
        auto bytes = ReadFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }

    MemorySettingsStore settings;
    ScriptedHost host;
    FakeProbe probe;
    SplitList list;
};

bool operator==(const Row& a, const Row& b) {
    return a.times == b.times && a.selected == b.selected && a.title == b.title &&
           a.artist == b.artist;
}
void PrintTo(const Row& r, std::ostream* os) {
    *os << "{" << r.times << ", " << r.selected << ", " << r.title << ", " << r.artist << "}";
}

// One list track per sheet track, each to the next INDEX and the last to the end; an INDEX 00
// pregap becomes an unchecked untitled track; the header wins over the file's tags.
TEST_F(CueListTest, ImportsARipperSheet) {
    Audio("album.mp3", Mp3Facts(600000));
    std::string sheet = Sheet("album.cue",
                              "REM GENRE Rock\r\n"
                              "PERFORMER \"Band\"\r\n"
                              "TITLE \"Album\"\r\n"
                              "FILE \"C:\\Rips\\album.mp3\" MP3\r\n"
                              "  TRACK 01 AUDIO\r\n"
                              "    TITLE \"One\"\r\n"
                              "    INDEX 01 00:00:00\r\n"
                              "  TRACK 02 AUDIO\r\n"
                              "    TITLE \"Two\"\r\n"
                              "    PERFORMER \"Guest\"\r\n"
                              "    INDEX 00 03:23:00\r\n"
                              "    INDEX 01 03:25:50\r\n"
                              "  TRACK 03 AUDIO\r\n"
                              "    TITLE \"Three\"\r\n"
                              "    REM @SELECTED \"0\"\r\n"
                              "    INDEX 01 07:00:00\r\n"
                              "  TRACK 04 AUDIO\r\n"
                              "    TITLE \"Beyond the end\"\r\n"
                              "    INDEX 01 12:00:00\r\n");
    RowId source = Add(sheet);
    ASSERT_NE(source, kNoRow);
    // The track past the end is left out with a word naming its INDEX line.
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].id, Msg::CueTrackLeftOut);
    EXPECT_NE(host.messages[0].text.find("19"), std::string::npos);
    EXPECT_EQ(list.SourcePath(source), (dir / "album.mp3").string());
    EXPECT_EQ(list.CellText(source, kColTitle), "Album");
    EXPECT_EQ(list.CellText(source, kColArtist), "Band");
    // The header's TITLE names the album, REM GENRE the genre.
    EXPECT_EQ(list.CellText(source, kColAlbum), "Album");
    EXPECT_EQ(list.CellText(source, kColGenre), "Rock");
    EXPECT_EQ(Rows(source), (std::vector<Row>{{"0:00.000-3:23.000", 1, "One", "Band"},
                                              {"3:23.000-3:25.667", 0, "", ""},
                                              {"3:25.667-7:00.000", 1, "Two", "Guest"},
                                              {"7:00.000-10:00.000", 0, "Three", "Band"}}));
}

// The program's own keys bring back overlaps, split mode, album and the rest; they win over
// "Auto Overlap"; MPEG sources get the title pattern; no special split for sheets.
TEST_F(CueListTest, OwnKeysAndSettings) {
    settings::SplitId3AutoSequence.Write(settings, 1);
    settings::AutoOverlap.Write(settings, 1);
    settings::ForwardOverlap.Write(settings, 700);
    settings::BackwardOverlap.Write(settings, 700);
    settings::AutoAddSpecial.Write(settings, 1);
    Audio("a.mp3", Mp3Facts(100000));
    std::string sheet = Sheet("a.cue",
                              "TITLE \"Show\"\n"
                              "REM @ALBUM \"Radio\"\n"
                              "REM @FW OVERLAP \"0:01.000\"\n"
                              "REM @SPLIT MODE \"2\"\n"
                              "FILE \"a.mp3\" MP3\n"
                              "TRACK 01 AUDIO\n"
                              "INDEX 01 00:00:00\n"
                              "TRACK 02 AUDIO\n"
                              "REM @BW OVERLAP \"0:02.000\"\n"
                              "REM @GENRE \"Talk\"\n"
                              "INDEX 01 00:30:00\n");
    RowId source = Add(sheet);
    ASSERT_NE(source, kNoRow);
    EXPECT_EQ(list.CellText(source, kColTitle), "Show[Track %S]");  // the interface's language
    EXPECT_EQ(list.CellText(source, kColAlbum), "Radio");
    EXPECT_EQ(list.CellText(source, kColFwdOverlap), "0:01.000");
    EXPECT_EQ(list.CellText(source, kColBackOverlap), "0:00.700");
    EXPECT_EQ(ParseSplitModeText(list.CellText(source, kColMode)), SplitMode::Frame);
    ASSERT_EQ(list.TrackCount(source), 2);
    RowId second = list.Children(source)[1];
    EXPECT_EQ(list.CellText(second, kColBackOverlap), "0:02.000");
    EXPECT_EQ(list.CellText(second, kColFwdOverlap), "0:01.000");
    EXPECT_EQ(list.CellText(second, kColGenre), "Talk");
    EXPECT_EQ(list.CellText(second, kColAlbum), "Radio");
}

// A bad sheet is reported with its line or track and then CannotLoadFile; nothing is added.
TEST_F(CueListTest, MalformedSheetAddsNothing) {
    Audio("a.mp3", Mp3Facts(100000));
    std::string sheet = Sheet("bad.cue", "FILE \"a.mp3\" MP3\n\nTRACK 01 AUDIO\nTITLE One\n");
    EXPECT_EQ(Add(sheet), kNoRow);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].id, Msg::CueLineMalformed);
    EXPECT_NE(host.messages[0].text.find("[4]"), std::string::npos);
    EXPECT_EQ(host.messages[1].id, Msg::CannotLoadFile);
    EXPECT_TRUE(list.Empty());
}

// When the sheet's audio cannot be loaded the user may pick another file (CueAudioNotLoaded);
// declining or cancelling adds nothing.
TEST_F(CueListTest, AsksForAMissingAudioFile) {
    std::string other = Audio("other.mp3", Mp3Facts(100000));
    std::string sheet = Sheet("a.cue",
                              "FILE \"gone.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                              "TRACK 02 AUDIO\nINDEX 01 00:10:00\n");

    EXPECT_EQ(Add(sheet), kNoRow);
    EXPECT_TRUE(host.Showed(Msg::CueAudioNotLoaded));
    EXPECT_NE(host.messages.back().text.find("gone.mp3"), std::string::npos);

    int asked = 0;
    auto chooser = [&](const std::string& old) -> std::optional<std::string> {
        ++asked;
        EXPECT_EQ(old, (dir / "gone.mp3").string());
        return asked == 1 ? std::nullopt : std::optional<std::string>(other);
    };
    host.yesNoAnswers = {false};
    EXPECT_EQ(Add(sheet, chooser), kNoRow);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(Add(sheet, chooser), kNoRow);
    EXPECT_EQ(asked, 1);
    RowId source = Add(sheet, chooser);
    ASSERT_NE(source, kNoRow);
    EXPECT_EQ(list.SourcePath(source), other);
    EXPECT_EQ(list.TrackCount(source), 2);
}

// List → sheet → list keeps the boundaries (to the CD frame), check states, tags and overlaps,
// and the title pattern is not appended twice over saves and reloads.
TEST_F(CueListTest, RoundTrip) {
    settings::SplitId3AutoSequence.Write(settings, 1);
    std::string audio = Audio("show.mp3", Mp3Facts(3'700'000));
    RowId source =
        AddSourcePath(list, SourceLoadDefaultsFromSettings(settings), host, probe, audio);
    ASSERT_NE(source, kNoRow);
    list.EditCell(source, kColBackOverlap, "0:00.500");
    for (std::uint64_t t : {60'000u, 125'040u, 3'600'000u, 3'650'333u})
        list.InsertSplitPoint(source, t);
    const auto& tracks = list.Children(source);
    ASSERT_EQ(tracks.size(), 5u);
    list.SetChecked(tracks[1], false);
    list.EditCell(tracks[2], kColTitle, "Interview");
    list.EditCell(tracks[2], kColArtist, "Guest");
    list.EditCell(tracks[2], kColComment, "live");
    list.EditCell(tracks[3], kColFwdOverlap, "0:03.000");
    list.EditCell(tracks[3], kColYear, "1999");
    list.EditCell(tracks[4], kColGenre, "Speech");
    list.EditCell(tracks[4], kColAlbum, "");

    std::string sheet = (dir / "show.cue").string();
    ASSERT_TRUE(SaveCueForSource(list, source, sheet, host));
    EXPECT_NE(SheetText(sheet).find("FILE \"show.mp3\" MP3"), std::string::npos);
    EXPECT_NE(SheetText(sheet).find("TITLE \"Tag Title\"\r\n"), std::string::npos);

    for (int round = 0; round < 2; ++round) {
        SplitList again;
        RowId copy =
            AddSourcePath(again, SourceLoadDefaultsFromSettings(settings), host, probe, sheet);
        ASSERT_NE(copy, kNoRow);
        EXPECT_EQ(again.CellText(copy, kColTitle), "Tag Title[Track %S]");
        ASSERT_EQ(again.TrackCount(copy), 5);
        for (int i = 0; i < 5; ++i) {
            RowId a = tracks[static_cast<std::size_t>(i)];
            RowId b = again.Children(copy)[static_cast<std::size_t>(i)];
            TrackTimes ta = list.GetTrackTimes(a, false), tb = again.GetTrackTimes(b, false);
            EXPECT_LE(ta.start - tb.start, 13u) << i;
            EXPECT_LE(ta.end - tb.end, 13u) << i;
            EXPECT_EQ(list.Row(a).checked, again.Row(b).checked) << i;
            for (int column : {kColTitle, kColArtist, kColAlbum, kColGenre, kColYear, kColComment,
                               kColTrackNumber, kColBackOverlap, kColFwdOverlap}) {
                EXPECT_EQ(list.CellText(a, column), again.CellText(b, column))
                    << i << " " << column;
            }
        }
        ASSERT_TRUE(SaveCueForSource(again, copy, sheet, host));
    }
    EXPECT_EQ(SheetText(sheet).find("[音轨"), std::string::npos);
}

// Saving over an existing sheet asks ConfirmReplaceFile; a sheet in another folder names the audio
// file by its full path; a sheet that cannot be written shows CannotCreateFile.
TEST_F(CueListTest, SavingAsksAndNamesTheFile) {
    std::string audio = Audio("a.mp3", Mp3Facts(100000));
    RowId source = Add(audio);
    std::string sheet = Sheet("a.cue", "old");
    host.yesNoAnswers = {false};
    EXPECT_FALSE(SaveCueForSource(list, source, sheet, host));
    EXPECT_EQ(SheetText(sheet), "old");
    EXPECT_TRUE(SaveCueForSource(list, source, sheet, host));
    EXPECT_NE(SheetText(sheet).find("FILE \"a.mp3\" MP3"), std::string::npos);

    std::filesystem::create_directories(dir / "sheets");
    std::string away = (dir / "sheets" / "a.cue").string();
    EXPECT_TRUE(SaveCueForSource(list, source, away, host));
    EXPECT_NE(SheetText(away).find("FILE \"" + audio + "\" MP3"), std::string::npos);
    SplitList again;
    EXPECT_NE(AddSourcePath(again, SourceLoadDefaultsFromSettings(settings), host, probe, away),
              kNoRow);

    EXPECT_FALSE(SaveCueForSource(list, source, (dir / "none" / "a.cue").string(), host));
    EXPECT_TRUE(host.Showed(Msg::CannotCreateFile));
}

// A source saves next to its audio file or where the user says; a group saves every source
// next to its audio file or into a folder named after the group.
TEST_F(CueListTest, SaveForItem) {
    RowId a = Add(Audio("a.mp3", Mp3Facts(100000)));
    RowId b = Add(Audio("b.wav", Mp3Facts(50000)));
    RowId group = list.Parent(a);
    EXPECT_EQ(SaveCueForItem(list, a, "", false, host), (dir / "a.cue").string());
    EXPECT_TRUE(std::filesystem::exists(dir / "a.cue"));

    auto chooser = [&](const std::string& proposed) -> std::optional<std::string> {
        EXPECT_EQ(proposed, (dir / "b.cue").string());
        return (dir / "mine.cue").string();
    };
    EXPECT_EQ(SaveCueForItem(list, list.Children(b)[0], "", true, host, {}, chooser),
              (dir / "mine.cue").string());
    EXPECT_EQ(SaveCueForItem(list, b, "", true, host, {},
                             [](const std::string&) { return std::nullopt; }),
              "");

    list.EditCell(group, kColTrack, "My/Group");
    std::string last = SaveCueForItem(list, group, "", false, host, {true, dir.Path().string()});
    EXPECT_EQ(last, (dir / "My_Group" / "b.cue").string());
    EXPECT_TRUE(std::filesystem::exists(dir / "My_Group" / "a.cue"));
    EXPECT_NE(SheetText(last).find("FILE \"" + (dir / "b.wav").string() + "\" WAVE"),
              std::string::npos);

    list.SetCurrent(kNoRow);
    EXPECT_EQ(SaveCueForItem(list, kNoRow, "", false, host), "");
}

// With "Export CUE" the split job writes each source's sheet next to its outputs, naming the
// audio file by its full path; the sheet loads back with the same tracks.
TEST_F(CueListTest, ExportAfterSplit) {
    settings::ExportCue.Write(settings, 1);
    settings::SplitShowSuccess.Write(settings, 0);
    std::string wav = (dir / "talk.wav").string();
    test::WriteWav(wav, test::SynthesizePcm({{440, 3000}}, 8000, 1), 8000, 1);
    SourceFacts facts;
    facts.audioType = audio::AudioType::Wav;
    facts.durationMs = 3000;
    facts.tags.title = "Talk";
    probe.files[wav] = facts;
    RowId source = Add(wav);
    list.InsertSplitPoint(source, 1000);
    list.InsertSplitPoint(source, 2000);
    list.SetChecked(list.Children(source)[1], false);
    list.EditCell(list.Children(source)[2], kColTitle, "End");

    std::string out = (dir / "out").string();
    std::filesystem::create_directory(out);
    FileTrackCutter cutter;
    SplitJobOptions options = SplitJobOptionsFromSettings(settings);
    options.namingRule = "%F-%S";
    options.outputFolder = out;
    options.writeCueSheet = CueExporter(host);
    SplitJob job(list, host, cutter, options);
    SplitJobResult result = job.StartSplit();
    EXPECT_EQ(result.written, 2);

    std::string sheet = out + "/talk.cue";
    ASSERT_TRUE(std::filesystem::exists(sheet));
    EXPECT_NE(SheetText(sheet).find("FILE \"" + wav + "\" WAVE"), std::string::npos);
    SplitList again;
    RowId copy = AddSourcePath(again, SourceLoadDefaultsFromSettings(settings), host, probe, sheet);
    ASSERT_NE(copy, kNoRow);
    EXPECT_EQ(Rows(copy), (std::vector<Row>{{"0:00.000-0:01.000", 1, "Talk", ""},
                                            {"0:01.000-0:02.000", 0, "Talk", ""},
                                            {"0:02.000-0:03.000", 1, "End", ""}}));
}

// Pregaps go where asked: the end of the track before, or a track of their own that is split.
// A FILE without quotes is read; a track whose INDEX is no time is left out with its line and
// gives its title to no other track; REM DATE gives the year.
TEST_F(CueListTest, PregapsAndDamagedTracks) {
    Audio("a.mp3", Mp3Facts(100000));
    std::string sheet = Sheet("a.cue",
                              "REM DATE 1999\n"
                              "FILE a.mp3 MP3\n"
                              "TRACK 01 AUDIO\n"
                              "TITLE \"One\"\n"
                              "INDEX 01 00:00:00\n"
                              "TRACK 02 AUDIO\n"
                              "TITLE \"Two\"\n"
                              "INDEX 00 00:10:00\n"
                              "INDEX 01 00:12:00\n"
                              "TRACK 03 AUDIO\n"
                              "TITLE \"Broken\"\n"
                              "INDEX 01 00:xx:00\n");
    SourceLoadDefaults defaults = SourceLoadDefaultsFromSettings(settings);
    std::vector<std::vector<Row>> results;
    for (PregapMode mode : {PregapMode::Previous, PregapMode::Separate}) {
        SplitList fresh;
        defaults.pregaps = mode;
        host.messages.clear();
        RowId source = AddSourcePath(fresh, defaults, host, probe, sheet);
        ASSERT_NE(source, kNoRow);
        EXPECT_EQ(fresh.CellText(source, kColYear), "1999");
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].id, Msg::CueTrackLeftOut);
        EXPECT_NE(host.messages[0].text.find("12"), std::string::npos);
        std::vector<Row> rows;
        for (RowId t : fresh.Children(source)) {
            rows.push_back({fresh.CellText(t, kColTrack), fresh.Row(t).checked,
                            fresh.CellText(t, kColTitle), fresh.CellText(t, kColArtist)});
        }
        results.push_back(rows);
    }
    EXPECT_EQ(results[0], (std::vector<Row>{{"0:00.000-0:12.000", 1, "One", "Tag Artist"},
                                            {"0:12.000-1:40.000", 1, "Two", "Tag Artist"}}));
    EXPECT_EQ(results[1], (std::vector<Row>{{"0:00.000-0:10.000", 1, "One", "Tag Artist"},
                                            {"0:10.000-0:12.000", 1, "", ""},
                                            {"0:12.000-1:40.000", 1, "Two", "Tag Artist"}}));
}

// Each TRACK belongs to the FILE above it: a sheet of one file per track adds each file with
// its own title.
TEST_F(CueListTest, OneFilePerTrack) {
    Audio("a.mp3", Mp3Facts(60000));
    Audio("b.mp3", Mp3Facts(50000));
    RowId first = Add(Sheet("two.cue",
                            "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nTITLE \"A\"\n"
                            "INDEX 01 00:00:00\nFILE \"b.mp3\" MP3\nTRACK 02 AUDIO\n"
                            "TITLE \"B\"\nINDEX 01 00:00:00\n"));
    ASSERT_NE(first, kNoRow);
    const auto& sources = list.Children(list.Parent(first));
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(list.SourcePath(sources[1]), (dir / "b.mp3").string());
    EXPECT_EQ(Rows(sources[0]), (std::vector<Row>{{"0:00.000-1:00.000", 1, "A", "Tag Artist"}}));
    EXPECT_EQ(Rows(sources[1]), (std::vector<Row>{{"0:00.000-0:50.000", 1, "B", "Tag Artist"}}));
}

// The tips about groups come with the first group, also when adding a file made it.
TEST_F(CueListTest, FirstGroupBringsTheTips) {
    ASSERT_NE(Add(Audio("a.mp3", Mp3Facts(1000))), kNoRow);
    EXPECT_EQ(host.questions.size(), 1u);  // the tips box
    host.questions.clear();
    AddGroupTelling(list, host, "Second");
    EXPECT_TRUE(host.questions.empty());
}

// The title pattern is dropped only where it ends a title.
TEST(CueTitlePattern, DroppedAtTheEnd) {
    EXPECT_EQ(DropAutoSequenceTitle("Song[音轨 %S]"), "Song");
    EXPECT_EQ(DropAutoSequenceTitle("[音轨 %S]"), "");
    EXPECT_EQ(DropAutoSequenceTitle("Song[Track %S]"), "Song");
    EXPECT_EQ(DropAutoSequenceTitle("Song[音轨 %S][音轨 %S]"), "Song[音轨 %S]");
    EXPECT_EQ(DropAutoSequenceTitle("[音轨 %S] Song"), "[音轨 %S] Song");
    EXPECT_EQ(DropAutoSequenceTitle("Song"), "Song");
}

}  // namespace
}  // namespace partita
