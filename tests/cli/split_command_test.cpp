#include <csignal>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli_job_host.h"
#include "cli_support.h"
#include "cli_time.h"
#include "tags/tag_reader.h"

namespace partita {
namespace {

namespace fs = std::filesystem;
using test::RunCli;

class SplitCommandTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        ini = (dir / "s.ini").string();
        source = dir / "tone.wav";
        test::WriteWav(source, test::SynthesizePcm({{440, 3000}}, 8000, 1), 8000, 1);
        out = dir / "out";
    }

    test::CliResult Split(std::vector<std::string> args) {
        std::vector<std::string> all{"--settings", ini, "--lang", "en", "split"};
        all.insert(all.end(), args.begin(), args.end());
        return RunCli(all);
    }

    std::string ini;
    fs::path source;
    fs::path out;
};

// Split points cut a source into consecutive tracks named by the rule.
TEST_F(SplitCommandTest, SplitsAtPoints) {
    auto r = Split({source.string(), "-o", out.string(), "--rule", "%F-%S", "--at", "1,2.5"});
    EXPECT_EQ(r.code, 0) << r.output;
    for (const char* name : {"tone-1.wav", "tone-2.wav", "tone-3.wav"})
        EXPECT_TRUE(fs::exists(out / name)) << name;
    EXPECT_NEAR(test::ProbeDurationMs(out / "tone-2.wav"), 1500, 1);
    // The default rule puts the tracks into a folder named after the group.
    r = Split({source.string(), "-o", out.string(), "--group", "Live", "--at", "0:01.000"});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(fs::exists(out / "Live" / "tone-2.wav"));
}

// A dry run prints path, start, end and byte range of every output and writes nothing.
TEST_F(SplitCommandTest, DryRunPrintsPlan) {
    auto r = Split({source.string(), "-o", out.string(), "--rule", "%F-%S", "--at", "1.5",
                    "--dry-run", "--json"});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_FALSE(fs::exists(out));
    auto json = nlohmann::json::parse(r.output.substr(r.output.find('[')));
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[1]["output"], (out / "tone-2.wav").string());
    EXPECT_EQ(json[1]["startMs"], 1500);
    EXPECT_EQ(json[1]["endMs"], 3000);
    EXPECT_EQ(json[1]["byteStart"], 44 + 1500 * 16);
    EXPECT_EQ(json[1]["byteEnd"], 44 + 3000 * 16);
    r = Split({source.string(), "-o", out.string(), "--rule", "%F-%S", "--dry-run"});
    EXPECT_NE(r.output.find((out / "tone-1.wav").string() + "\t0\t3000\t44-48044"),
              std::string::npos)
        << r.output;
}

// Existing outputs: kept with a warning and exit 1 when no one can be asked, kept quietly with
// --skip-existing, replaced with --overwrite.
TEST_F(SplitCommandTest, ExistingOutputs) {
    fs::create_directories(out);
    test::WriteFileText(out / "tone-1.wav", "old");
    auto r = Split({source.string(), "-o", out.string(), "--rule", "%F-%S", "--at", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("--overwrite"), std::string::npos) << r.output;
    EXPECT_EQ(fs::file_size(out / "tone-1.wav"), 3u);
    EXPECT_TRUE(fs::exists(out / "tone-2.wav"));
    r = Split(
        {source.string(), "-o", out.string(), "--rule", "%F-%S", "--at", "1", "--skip-existing"});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_EQ(fs::file_size(out / "tone-1.wav"), 3u);
    r = Split({source.string(), "-o", out.string(), "--rule", "%F-%S", "--at", "1", "--overwrite"});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_GT(fs::file_size(out / "tone-1.wav"), 3u);
    EXPECT_EQ(Split({source.string(), "-o", out.string(), "--overwrite", "--skip-existing"}).code,
              64);
}

// A source that cannot be loaded is reported and the others are still split (exit 1).
TEST_F(SplitCommandTest, MissingSourceFailsAlone) {
    auto r = Split(
        {(dir / "missing.wav").string(), source.string(), "-o", out.string(), "--rule", "%F"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("missing.wav"), std::string::npos) << r.output;
    EXPECT_TRUE(fs::exists(out / "tone.wav"));
}

// Wrong command lines are usage errors.
TEST_F(SplitCommandTest, UsageErrors) {
    EXPECT_EQ(Split({source.string()}).code, 64);  // no folder
    EXPECT_EQ(Split({source.string(), "-o", out.string(), "--at", "1:75"}).code, 64);
    EXPECT_EQ(Split({source.string(), "-o", out.string(), "--mode", "slow"}).code, 64);
}

// An output that would be its own source is refused; the source stays whole.
TEST_F(SplitCommandTest, OutputOverItsSourceIsRefused) {
    auto before = test::ReadFileBytes(source);
    auto r = Split({source.string(), "--same-folder", "--rule", "%F", "--overwrite"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("cannot be both the source and the target"), std::string::npos)
        << r.output;
    EXPECT_EQ(test::ReadFileBytes(source), before);
}

// Tags cannot lead the folder part out of the output folder.
TEST_F(SplitCommandTest, TagsStayInsideOutputFolder) {
    auto r = Split({source.string(), "-o", out.string(), "--rule", "%T\\%A\\%F", "--title", "..",
                    "--artist", "../../escape"});
    EXPECT_EQ(r.code, 1);  // only one folder level is made: "_" exists, "_/.._.._escape" not
    r = Split({source.string(), "-o", out.string(), "--rule", "%T\\%F", "--title", "../.."});
    EXPECT_EQ(r.code, 0) << r.output;
    EXPECT_TRUE(fs::exists(out / ".._.." / "tone.wav"));
    EXPECT_FALSE(fs::exists(dir / "escape"));
}

// Times as people type them: seconds with a decimal fraction, m:ss.f, h:mm:ss.fff.
TEST(CommandLineTimeTest, Forms) {
    using cli::ParseCommandLineTime;
    EXPECT_EQ(ParseCommandLineTime("1:02.5"), 62'500u);
    EXPECT_EQ(ParseCommandLineTime("90"), 90'000u);
    EXPECT_EQ(ParseCommandLineTime("2.25"), 2'250u);
    EXPECT_EQ(ParseCommandLineTime(".5"), 500u);
    EXPECT_EQ(ParseCommandLineTime("1:00:00.001"), 3'600'001u);
    EXPECT_EQ(ParseCommandLineTime("0.0006"), 1u);
    EXPECT_EQ(ParseCommandLineTime("75:00"), 4'500'000u);
    EXPECT_FALSE(ParseCommandLineTime("1:60"));
    EXPECT_FALSE(ParseCommandLineTime("1:60:00"));
    EXPECT_FALSE(ParseCommandLineTime("-1"));
    EXPECT_FALSE(ParseCommandLineTime("1:2:3:4"));
    EXPECT_FALSE(ParseCommandLineTime("abc"));
    EXPECT_FALSE(ParseCommandLineTime(""));
    EXPECT_FALSE(ParseCommandLineTime("1e3"));
}

// Without a terminal every question is answered at once from the options; an interrupt is a
// stop request, and a stop is a stop of everything.
TEST(CliJobHostTest, AnswersWithoutTerminal) {
    std::ostringstream err;
    std::istringstream in("y\n");
    cli::CliHostOptions options;
    options.outputFolder = "/out";
    cli::CliJobHost host(err, in, options);
    EXPECT_EQ(host.AskOverwrite("/out/a.mp3").answer, OverwriteAnswer::Skip);
    EXPECT_EQ(host.UnansweredSkips(), 1);
    EXPECT_EQ(host.AskStop("a.mp3"), StopAnswer::StopAll);
    EXPECT_EQ(host.AskFailure(UserMessage::Plain("failed")), FailureAnswer::Ignore);
    EXPECT_FALSE(host.AskYesNo(UserMessage::Plain("sure?")));
    EXPECT_EQ(host.ChooseFolder(Msg::ChooseSplitOutputFolder, "/start"), "/out");
    EXPECT_FALSE(host.TakeStopRequest());
    std::raise(SIGINT);
    EXPECT_TRUE(host.TakeStopRequest());
    EXPECT_FALSE(host.TakeStopRequest());
    host.SetProgress(1, 2);  // no bar without a terminal
    host.ShowMessage(MessageKind::Warning, UserMessage::Plain("a\r\nb"));
    EXPECT_EQ(err.str().find('\r'), std::string::npos);
    EXPECT_NE(err.str().find("warning: a\nb\n"), std::string::npos);
    EXPECT_EQ(in.tellg(), 0);  // nothing was read

    options.existing = cli::CliHostOptions::Existing::Overwrite;
    cli::CliJobHost overwriting(err, in, options);
    EXPECT_EQ(overwriting.AskOverwrite("/out/a.mp3").answer, OverwriteAnswer::Yes);
}

// On a terminal the questions are asked, and the bar is drawn and cleared.
TEST(CliJobHostTest, AsksOnTerminal) {
    std::ostringstream err;
    std::istringstream in("a\nc\n");
    cli::CliHostOptions options;
    options.interactive = true;
    options.progressBar = true;
    cli::CliJobHost host(err, in, options);
    host.SetStatus("working");
    host.SetProgress(1, 4);
    EXPECT_NE(err.str().find("[#######.......................] 1/4 working"), std::string::npos)
        << err.str();
    EXPECT_EQ(host.AskOverwrite("/out/a.mp3").answer, OverwriteAnswer::YesToAll);
    EXPECT_EQ(host.AskStop("a.mp3"), StopAnswer::Continue);
    EXPECT_EQ(host.AskStop("a.mp3"), StopAnswer::StopAll);  // end of input
}

// An MP3 source keeps its own tags in its tracks, and no split of MPEG audio needs the audio
// module: it is not there.
TEST_F(SplitCommandTest, Mp3SplitsWithoutAudioModule) {
    auto mp3 = test::MakeMp3(dir.Path(), "song.mp3", {{440, 2500}},
                             {"-b", "64", "--add-id3v2", "--tt", "Song", "--ta", "Band"});
    ::setenv("PARTITA_AUDIO_MODULE", (dir / "no-such-module.so").c_str(), 1);
    auto r = Split({mp3.string(), "-o", out.string(), "--rule", "%F-%S", "--at", "1.25", "--album",
                    "Live %S"});
    ::unsetenv("PARTITA_AUDIO_MODULE");
    EXPECT_EQ(r.code, 0) << r.output;
    TagTexts tags;
    ASSERT_TRUE(ReadTags(out / "song-2.mp3", "ISO-8859-1", tags));
    EXPECT_EQ(tags.title, "Song[Track 002]");  // the English interface's pattern
    EXPECT_EQ(tags.artist, "Band");
    EXPECT_EQ(tags.album, "Live 002");
    EXPECT_EQ(tags.track, "2");  // "002" read back as a number
    EXPECT_TRUE(test::DecodesCleanly(out / "song-1.mp3"));
}

// A file that is no audio at all is reported with the audio layer's reason in words; the
// tracks of audio of another format than MPEG or WAV say why they are not cut.
TEST_F(SplitCommandTest, NotAudioIsReported) {
    test::WriteFileText(dir / "notes.txt", "not audio");
    auto r = Split({(dir / "notes.txt").string(), "-o", out.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("notes.txt\" (error code: 41) Reason: the file's format is not "
                            "recognised"),
              std::string::npos)
        << r.output;

    fs::copy_file(PARTITA_CORPUS_DIR "/test.ogg", dir / "test.ogg");
    r = Split({(dir / "test.ogg").string(), "-o", out.string(), "--rule", "%F-%S", "--parts", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find("not cut\t" + (out / "test-2.ogg").string() +
                            "\tonly MPEG audio and WAV files are cut"),
              std::string::npos)
        << r.output;
}

}  // namespace
}  // namespace partita
