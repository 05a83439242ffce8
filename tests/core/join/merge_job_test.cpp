#include "join/merge_job.h"

#include <filesystem>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "fake_inspector.h"
#include "join/merge_settings.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {
namespace fs = std::filesystem;

// Engines that write marker texts instead of audio, so the job's file handling shows.
class FakeEngines : public MergeEngines {
  public:
    MergeResult result = MergeResult::Done;
    bool tagWritesSucceed = true;
    std::vector<std::string> calls;
    ConvertOptions convertOptions;
    std::string encoder = "/usr/bin/lame";

    MergeResult Direct(const std::vector<MergeSource>& sources, std::FILE* output,
                       const std::string& outputPath, const TagInfo&, JobHost&) override {
        calls.push_back("direct " + std::to_string(sources.size()));
        std::fputs("frames", output);
        if (!appearsMeanwhile.empty())
            test::WriteFileText(appearsMeanwhile, "theirs");
        written = outputPath;
        return result;
    }
    MergeResult Convert(const std::string& encoderPath, const std::string& outputPath,
                        const std::vector<MergeSource>& sources, const ConvertOptions& options,
                        JobHost&) override {
        calls.push_back("convert " + encoderPath + " " + std::to_string(sources.size()));
        convertOptions = options;
        test::WriteFileText(outputPath, "encoded");
        written = outputPath;
        return result;
    }
    bool WriteId3v2(const std::string&, const TagInfo& tags,
                    std::span<const std::uint8_t>) override {
        calls.push_back("id3v2 " + tags.title);
        return tagWritesSucceed;
    }
    bool WriteId3v1(const std::string& path, const TagInfo& tags) override {
        calls.push_back("id3v1 " + tags.title);
        std::string text;
        auto bytes = test::ReadFileBytes(path);
        test::WriteFileText(path, std::string(bytes.begin(), bytes.end()) + "+TAG");
        return tagWritesSucceed;
    }
    std::string FindEncoder() override { return encoder; }

    std::string written;           // the working path the engine wrote
    std::string appearsMeanwhile;  // a file another program writes while the merge runs
};

class MergeJobTest : public test::TempDirTest {
  protected:
    MemorySettingsStore settings;
    test::FakeInspector inspector;
    test::ScriptedHost host;
    FakeEngines engines;
    MergeList list;
    MergeJobOptions options;

    MergeJobTest() {
        options.tags.title = "T";
        options.tags.writeId3v1 = true;
        options.tags.writeId3v2 = true;
        options.showCompletion = false;
    }
    std::string P(const std::string& name) { return (dir / name).string(); }
    // Adds a file that exists, with the given list texts.
    void Add(const std::string& name, int rate = 44100, int mode = 1, double kbps = 128,
             bool vbr = false) {
        test::WriteFileText(dir / name, "source " + name);
        auto& f = inspector.Add(name, 60'000, rate, mode, kbps);
        f.vbr = vbr;
        f.audioType =
            fs::path(name).extension() == ".mp3" ? audio::AudioType::Mpeg : audio::AudioType::Wav;
        ASSERT_TRUE(list.AddFile(P(name), list.Size(), inspector, {}).added);
    }
    MergeJobOutcome Run(const std::string& output = "out.mp3") {
        options.outputPath = output.empty() ? "" : P(output);
        MergeJob job(list, options, host, engines);
        MergeJobOutcome outcome = job.Run();
        StoreMergeJobReplies(outcome, settings);  // as the page does
        return outcome;
    }
    std::string Text(const std::string& name) {
        auto bytes = test::ReadFileBytes(dir / name);
        return {bytes.begin(), bytes.end()};
    }
    // Files in the folder other than the sources and the given ones: leftovers.
    std::size_t FileCount() {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()));
    }
};

// An empty list asks for files first.
TEST_F(MergeJobTest, EmptyList) {
    EXPECT_EQ(Run().end, MergeJobEnd::EmptyList);
    EXPECT_TRUE(host.Showed(Msg::AddFilesToMergeFirst));
    EXPECT_TRUE(engines.calls.empty());
}

// Auto joins equal MPEG files directly (a VBR bitrate matches any), anything else by
// converting; direct mode refuses other formats with DirectMergeFormatsDiffer before writing
// anything.
TEST_F(MergeJobTest, ModeResolution) {
    Add("a.mp3", 44100, 0, 128);
    Add("b.mp3", 44100, 1, 192, true);
    auto outcome = Run();
    EXPECT_EQ(outcome.end, MergeJobEnd::Done);
    EXPECT_EQ(outcome.mode, MergeMode::Direct);
    EXPECT_EQ(engines.calls[0], "direct 2");
    EXPECT_EQ(Text("out.mp3"), "frames+TAG");  // the engine writes the ID3v2 tag itself
    EXPECT_EQ(engines.calls.size(), 2u);

    Add("c.mp3", 44100, 1, 160);  // 128 and 160 constant bitrates differ
    engines.calls.clear();
    EXPECT_EQ(Run("out2.mp3").mode, MergeMode::Convert);

    list.Clear();
    Add("a.mp3");
    Add("w.wav");
    engines.calls.clear();
    EXPECT_EQ(Run("out3.mp3").mode, MergeMode::Convert);
    options.mode = MergeMode::Direct;
    EXPECT_EQ(Run("out4.mp3").end, MergeJobEnd::Cancelled);
    EXPECT_TRUE(host.Showed(Msg::DirectMergeFormatsDiffer));
    EXPECT_FALSE(fs::exists(dir / "out4.mp3"));
    EXPECT_EQ(engines.calls.size(), 3u);  // convert, id3v2, id3v1 of out3 only
}

// Direct mode over mixed parameters warns (MergeParametersDiffer) unless the warning is switched
// off; Cancel asks the page for the mode dialog.
TEST_F(MergeJobTest, MixedParametersInDirectMode) {
    Add("a.mp3", 44100);
    Add("b.mp3", 48000);
    options.mode = MergeMode::Direct;
    host.infoAnswers = {false};
    EXPECT_EQ(Run().end, MergeJobEnd::ChangeMode);
    EXPECT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(Run().end, MergeJobEnd::Done);  // OK goes on
    options.warnMixedParameters = false;
    EXPECT_EQ(Run("out2.mp3").end, MergeJobEnd::Done);
    EXPECT_EQ(host.questions.size(), 2u);
}

// Convert: mono only when every file is mono, at the highest rate, unless the options name
// both; gapless and the encoder path go to the engine.
TEST_F(MergeJobTest, ConvertFormat) {
    Add("a.mp3", 22050, 3);
    Add("b.wav", 32000, 3);
    auto outcome = Run();
    EXPECT_EQ(outcome.channels, 1);
    EXPECT_EQ(outcome.sampleRate, 32000);
    EXPECT_EQ(engines.convertOptions.channels, 1);
    EXPECT_EQ(engines.convertOptions.sampleRate, 32000);
    EXPECT_TRUE(engines.convertOptions.gapless);
    EXPECT_EQ(engines.calls[0], "convert /usr/bin/lame 2");
    // The tag goes in front, then the ID3v1 tag at the end, both with the page's texts.
    EXPECT_EQ(engines.calls[1], "id3v2 T");
    EXPECT_EQ(engines.calls[2], "id3v1 T");
    EXPECT_EQ(host.statuses[host.statuses.size() - 2], "音频标签已被成功保存");
    EXPECT_EQ(Text("out.mp3"), "encoded+TAG");

    Add("c.wav", 8000, 0);
    options.gapless = false;
    outcome = Run("out2.mp3");
    EXPECT_EQ(outcome.channels, 2);
    EXPECT_FALSE(engines.convertOptions.gapless);
    options.outputChannels = 1;
    options.outputSampleRate = 11025;
    outcome = Run("out3.mp3");
    EXPECT_EQ(outcome.channels, 1);
    EXPECT_EQ(outcome.sampleRate, 11025);
}

// A source is never the output, whatever the path's form, even without the overwrite question.
TEST_F(MergeJobTest, SourceIsNeverTheOutput) {
    Add("a.mp3");
    Add("b.mp3");
    options.confirmOverwrite = false;
    fs::create_directories(dir / "sub");
    fs::create_symlink(dir / "b.mp3", dir / "link.mp3");
    for (const char* output : {"b.mp3", "sub/../a.mp3", "link.mp3"}) {
        EXPECT_EQ(Run(output).end, MergeJobEnd::Cancelled) << output;
        EXPECT_TRUE(host.Showed(Msg::OutputIsSource));
    }
    EXPECT_TRUE(engines.calls.empty());
    EXPECT_EQ(Text("a.mp3"), "source a.mp3");
    EXPECT_EQ(Text("b.mp3"), "source b.mp3");

    // Naming a source at the overwrite question is refused too.
    options.confirmOverwrite = true;
    test::WriteFileText(dir / "old.mp3", "old");
    host.overwriteAnswers = {{OverwriteAnswer::OtherName, P("a.mp3"), false}};
    EXPECT_EQ(Run("old.mp3").end, MergeJobEnd::Cancelled);
    EXPECT_EQ(Text("a.mp3"), "source a.mp3");
}

// An existing output is replaced only after Yes; No leaves it and shows MergeAborted; another
// name is checked again; the tick stops the question.
TEST_F(MergeJobTest, OverwriteQuestion) {
    Add("a.mp3");
    test::WriteFileText(dir / "out.mp3", "old");
    host.overwriteAnswers = {{OverwriteAnswer::Skip, "", false}};
    EXPECT_EQ(Run().end, MergeJobEnd::Cancelled);
    EXPECT_EQ(host.statuses.back(), "已中止");
    EXPECT_EQ(Text("out.mp3"), "old");

    test::WriteFileText(dir / "other.mp3", "other");
    host.overwriteAnswers = {{OverwriteAnswer::OtherName, P("other.mp3"), false},
                             {OverwriteAnswer::Yes, "", true}};
    auto outcome = Run();
    EXPECT_EQ(outcome.end, MergeJobEnd::Done);
    EXPECT_EQ(outcome.outputPath, P("other.mp3"));
    EXPECT_EQ(host.overwriteAsked,
              (std::vector<std::string>{P("out.mp3"), P("out.mp3"), P("other.mp3")}));
    EXPECT_EQ(Text("other.mp3"), "frames+TAG");
    EXPECT_EQ(Text("out.mp3"), "old");
    EXPECT_EQ(outcome.confirmOverwrite, false);
    options.confirmOverwrite = ReadMergeJobOptions(settings).confirmOverwrite;
    EXPECT_FALSE(options.confirmOverwrite);
    EXPECT_EQ(Run().end, MergeJobEnd::Done);  // no question any more
    EXPECT_EQ(host.overwriteAsked.size(), 3u);
    EXPECT_EQ(Text("out.mp3"), "frames+TAG");
}

// An output that another program wrote while the merge ran is not replaced without a Yes.
TEST_F(MergeJobTest, OutputWrittenMeanwhile) {
    Add("a.mp3");
    engines.appearsMeanwhile = P("out.mp3");
    host.overwriteAnswers = {{OverwriteAnswer::Skip, "", false}, {OverwriteAnswer::Yes, "", false}};
    EXPECT_EQ(Run().end, MergeJobEnd::Stopped);
    EXPECT_EQ(Text("out.mp3"), "theirs");
    fs::remove(dir / "out.mp3");
    EXPECT_EQ(Run().end, MergeJobEnd::Done);
    EXPECT_EQ(Text("out.mp3"), "frames+TAG");
    EXPECT_EQ(host.overwriteAsked, (std::vector<std::string>{P("out.mp3"), P("out.mp3")}));
}

// A failed or stopped merge leaves no output and no temporary file, and an existing file at the
// output path keeps its contents.
TEST_F(MergeJobTest, FailedOrStoppedMergeLeavesNoOutput) {
    Add("a.mp3");
    Add("b.wav");
    std::size_t before = FileCount();
    for (MergeResult result : {MergeResult::Failed, MergeResult::Stopped}) {
        engines.result = result;
        auto outcome = Run("new.mp3");
        EXPECT_EQ(outcome.end,
                  result == MergeResult::Failed ? MergeJobEnd::Failed : MergeJobEnd::Stopped);
        EXPECT_FALSE(fs::exists(dir / "new.mp3"));
        EXPECT_EQ(FileCount(), before);
    }
    test::WriteFileText(dir / "kept.mp3", "kept");
    engines.result = MergeResult::Failed;
    EXPECT_EQ(Run("kept.mp3").end, MergeJobEnd::Failed);
    EXPECT_EQ(Text("kept.mp3"), "kept");
    EXPECT_EQ(host.statuses.back(), "空闲");
    EXPECT_EQ(host.lastRange, 0u);
    // A folder that cannot take the output: CannotCreateFile.
    engines.result = MergeResult::Done;
    EXPECT_EQ(Run("no/such/out.mp3").end, MergeJobEnd::Failed);
    EXPECT_TRUE(host.Showed(Msg::CannotCreateFile));
}

// A tag that cannot be written is reported with TagsNotWritten; the merged file stays.
TEST_F(MergeJobTest, TagFailuresKeepTheOutput) {
    Add("a.wav");
    engines.tagWritesSucceed = false;
    EXPECT_EQ(Run().end, MergeJobEnd::Done);
    EXPECT_TRUE(host.Showed(Msg::TagsNotWritten));
    EXPECT_TRUE(fs::exists(dir / "out.mp3"));
    options.tags.writeId3v1 = options.tags.writeId3v2 = false;
    engines.calls.clear();
    EXPECT_EQ(Run("out2.mp3").end, MergeJobEnd::Done);
    EXPECT_EQ(engines.calls.size(), 1u);
    EXPECT_EQ(Text("out2.mp3"), "encoded");
}

// Without an output path the host's save dialog proposes the stored name in the destination
// folder (else the last output folder) and the choice is stored; cancel ends quietly.
TEST_F(MergeJobTest, SaveDialog) {
    Add("a.mp3");
    options.lastOutputFolder = "/last";
    options.proposedName = "joined.mp3";
    EXPECT_EQ(Run("").end, MergeJobEnd::Cancelled);
    EXPECT_EQ(host.saveFileAsked.back(), "/last|joined.mp3");
    options.destinationFolder = dir.Path().string();
    host.saveFileAnswers = {P("chosen.mp3")};
    EXPECT_EQ(Run("").end, MergeJobEnd::Done);
    EXPECT_EQ(host.saveFileAsked.back(), dir.Path().string() + "|joined.mp3");
    EXPECT_TRUE(fs::exists(dir / "chosen.mp3"));
    EXPECT_EQ(settings::MergeDestinationName.Read(settings), "chosen.mp3");
    EXPECT_EQ(settings::MergeTempOutputFolder.Read(settings), dir.Path().string());
}

// After success: the completion box and its choices, the options' open and play, and a new
// merge reported for the page to start (the job leaves the list as it is).
TEST_F(MergeJobTest, AfterSuccess) {
    Add("a.mp3");
    options.showCompletion = true;
    host.completionReply = {true, true, true, true};  // new, open, play, don't show again
    auto outcome = Run();
    ASSERT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0].message.Id(), Msg::MergeDone);
    EXPECT_EQ(host.completions[0].message.Text(),
              "合并已成功完成，合并后的文件: " + P("out.mp3") + "!");
    EXPECT_FALSE(host.completions[0].startNewPreset);
    EXPECT_EQ(host.openedFolders, std::vector<std::string>{dir.Path().string()});
    EXPECT_EQ(host.playedFiles, std::vector<std::string>{P("out.mp3")});
    EXPECT_EQ(settings::JoinShowSuccess.Read(settings), 0);
    EXPECT_EQ(settings::StartNewMerge.Read(settings), 1);
    EXPECT_TRUE(outcome.startNew);
    EXPECT_EQ(list.Size(), 1u);

    // No box: the options alone decide.
    options = ReadMergeJobOptions(settings);
    EXPECT_FALSE(options.showCompletion);
    EXPECT_TRUE(options.startNew);
    options.startNew = false;
    options.playResult = true;
    outcome = Run("out2.mp3");
    EXPECT_FALSE(outcome.startNew);
    EXPECT_FALSE(outcome.completion);
    EXPECT_EQ(host.playedFiles.size(), 2u);
    EXPECT_EQ(host.openedFolders.size(), 1u);
    EXPECT_EQ(settings::StartNewMerge.Read(settings), 1);  // no box, nothing stored
}

// The options from the settings: mode, format, switches, and the kept tag texts only when
// "Save ID3 TAG" is set.
TEST(MergeJobOptionsTest, FromSettings) {
    MemorySettingsStore settings;
    MergeJobOptions options = ReadMergeJobOptions(settings);
    EXPECT_EQ(options.mode, MergeMode::Auto);
    EXPECT_TRUE(options.gapless);
    EXPECT_TRUE(options.tags.writeId3v1);
    EXPECT_EQ(options.tags.comment, kDefaultMergeComment);
    EXPECT_TRUE(options.confirmOverwrite);
    EXPECT_TRUE(options.warnMixedParameters);
    settings::MergeMode.Write(settings, 2);
    settings::OutputChannel.Write(settings, 1);
    settings::WriteId3v2Tag.Write(settings, 0);
    settings::JoinTagTitle.Write(settings, "Kept");
    settings::MergeDiffParamsDialog.Write(settings, 0);
    EXPECT_EQ(ReadMergeJobOptions(settings).tags.title, "");
    settings::JoinSaveId3Tag.Write(settings, 1);
    options = ReadMergeJobOptions(settings);
    EXPECT_EQ(options.mode, MergeMode::Convert);
    EXPECT_EQ(options.outputChannels, 1);
    EXPECT_FALSE(options.tags.writeId3v2);
    EXPECT_EQ(options.tags.title, "Kept");
    EXPECT_FALSE(options.warnMixedParameters);
}

}  // namespace
}  // namespace partita
