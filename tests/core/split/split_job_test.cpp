#include "split/split_job.h"

#include <cerrno>
#include <fstream>

#include "app/file_error.h"
#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"
#include "split/naming_rule.h"
#include "split/split_options.h"
#include "support/scripted_host.h"
#include "support/test_support.h"

namespace partita {
namespace {

using test::ScriptedHost;
using State = SplitTrackReport::State;

// A cutter that writes the track's times into the output and remembers every call.
class FakeCutter : public TrackCutter {
  public:
    struct Cut {
        std::string source, out;
        std::uint64_t start, end;
        TagTexts tags;
        ExistingOutput existing;
    };
    std::vector<Cut> cuts;
    std::vector<std::pair<std::string, SplitMode>> prepared;
    int failuresLeft = 0;           // cuts that fail before the next succeeds
    bool appearsMeanwhile = false;  // another program writes every output while it is cut
    bool readable = true;
    bool stoppedPreparing = false;
    audio::AudioType audioType = audio::AudioType::Mpeg;
    std::uint64_t duration = 60'000;

    bool indexing = false;  // preparing reports progress, as a frame index build does

    std::unique_ptr<PreparedSource> Prepare(const std::string& path, SplitMode mode,
                                            const CutOptions&,
                                            const PrepareProgress& progress) override {
        prepared.emplace_back(path, mode);
        if (indexing && !progress(0))
            stoppedPreparing = true;
        return std::make_unique<Source>(*this, path);
    }

  private:
    class Source : public PreparedSource {
      public:
        Source(FakeCutter& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        audio::AudioType AudioType() const override { return owner_.audioType; }
        std::uint64_t DurationMs() const override { return owner_.duration; }
        bool Readable() const override { return owner_.readable; }
        std::optional<ByteRange> Plan(std::uint64_t s, std::uint64_t e) override {
            return ByteRange{s, e};
        }
        CutOutcome Cut(const std::string& out, std::uint64_t s, std::uint64_t e,
                       const TagTexts& tags, ExistingOutput existing, ByteRange* copied) override {
            owner_.cuts.push_back({path_, out, s, e, tags, existing});
            if (existing == ExistingOutput::Keep && owner_.appearsMeanwhile)
                return CutOutcome::Kept;
            if (owner_.failuresLeft > 0) {
                --owner_.failuresLeft;
                return CutOutcome::Failed;
            }
            std::ofstream(out) << s << "-" << e;
            *copied = {s, e};
            return CutOutcome::Written;
        }
        bool WriteTags(const std::string&, const TagTexts&) override { return true; }

      private:
        FakeCutter& owner_;
        std::string path_;
    };
};

class SplitJobTest : public test::TempDirTest {
  protected:
    void SetUp() override {
        SetCurrentLanguage(Language::English);
        out = (dir / "out").string();
        std::filesystem::create_directory(out);
    }

    // A source of 60 s in `group` with split points at the given times.
    RowId AddSource(RowId group, const std::string& name, std::vector<std::uint64_t> points) {
        list.SetCurrent(group);
        SourceRowValues values;
        values.tags.title = "T%S";
        values.tags.trackNumber = "%S";
        values.tags.album = "Album";
        values.tags.genre = "Rock";
        values.tags.year = "2001";
        std::string path = (dir / name).string();
        test::WriteFileText(path, "source");
        RowId source = list.AddSource(path, 60'000, values);
        list.InsertSplitPoint(source, 0);
        for (auto p : points)
            list.InsertSplitPoint(source, p);
        return source;
    }

    // A run with the options the settings give, as the desktop starts it and stores its choices.
    SplitJobResult Run(const std::string& rule = "%F-%S",
                       std::function<void(SplitJobOptions&)> adjust = {}) {
        SplitJobOptions options = SplitJobOptionsFromSettings(settings);
        options.namingRule = rule;
        options.outputFolder = out;
        options.onTrack = [this](const SplitTrackReport& r) { reports.push_back(r); };
        if (adjust)
            adjust(options);
        SplitJob job(list, host, cutter, options);
        SplitJobResult result = job.StartSplit();
        StoreSplitJobReplies(options, result, settings);
        return result;
    }

    std::string Out(const std::string& name) const { return out + "/" + name; }

    SplitList list;
    MemorySettingsStore settings;
    ScriptedHost host;
    FakeCutter cutter;
    std::vector<SplitTrackReport> reports;
    std::string out;
};

// Every selected track of every selected source is cut, named by the rule, with its tags.
TEST_F(SplitJobTest, CutsEveryTrackInOrder) {
    RowId group = list.AddGroup("G");
    AddSource(group, "live.mp3", {20'000, 40'000});
    SplitJobResult result = Run();
    EXPECT_EQ(result.status, SplitJobStatus::Finished);
    EXPECT_EQ(result.written, 3);
    ASSERT_EQ(cutter.cuts.size(), 3u);
    EXPECT_EQ(cutter.cuts[0].out, Out("live-1.mp3"));
    EXPECT_EQ(cutter.cuts[2].out, Out("live-3.mp3"));
    EXPECT_EQ(cutter.cuts[1].start, 20'000u);
    EXPECT_EQ(cutter.cuts[1].end, 40'000u);
    EXPECT_EQ(cutter.cuts[1].tags, (TagTexts{"T002", "", "Album", "2001", "", "002", "Rock"}));
    EXPECT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(host.completions[0].message.Id(), Msg::SplitDoneInFolder);
    EXPECT_EQ(host.statuses.back(), "Idle");
    EXPECT_EQ(settings::SplitTempOutputFolder.Read(settings), out);
    EXPECT_EQ(settings::SplitNamingRule.Read(settings), "%F-%S");
}

// The folder part names a folder below the output folder, created once per source.
TEST_F(SplitJobTest, GroupFolderIsCreated) {
    RowId group = list.AddGroup("默认分割组");
    AddSource(
        group, "live.mp3",
        {5000, 10'000, 15'000, 20'000, 25'000, 30'000, 35'000, 40'000, 45'000, 50'000, 55'000});
    Run("%G\\%F-%S");
    ASSERT_EQ(cutter.cuts.size(), 12u);
    EXPECT_EQ(cutter.cuts[0].out, Out("默认分割组/live-01.mp3"));
    EXPECT_TRUE(std::filesystem::is_directory(Out("默认分割组")));
    EXPECT_TRUE(std::filesystem::exists(Out("默认分割组/live-12.mp3")));
}

// A group name can neither add levels nor leave the output folder.
TEST_F(SplitJobTest, GroupNameIsOneLevel) {
    AddSource(list.AddGroup("../a/b"), "live.mp3", {});
    Run("%G\\%F");
    ASSERT_EQ(cutter.cuts.size(), 1u);
    EXPECT_EQ(cutter.cuts[0].out, Out(".._a_b/live.mp3"));
}

// A folder level that cannot be made (its parent is missing) stops the job with CannotCreateFolder;
// the completion report still shows.
TEST_F(SplitJobTest, FolderFailureStopsJob) {
    RowId group = list.AddGroup("G");
    AddSource(group, "a.mp3", {});
    AddSource(group, "b.mp3", {});
    SplitJobResult result = Run("missing\\%G\\%F");
    EXPECT_TRUE(host.Showed(Msg::CannotCreateFolder));
    EXPECT_TRUE(cutter.cuts.empty());
    EXPECT_EQ(cutter.prepared.size(), 0u);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(host.completions.size(), 1u);
}

// Unselected groups, sources and tracks are passed over; with "count generated" the files are
// numbered without gaps, otherwise by position.
TEST_F(SplitJobTest, SelectionAndCounting) {
    RowId group = list.AddGroup("G");
    RowId source = AddSource(group, "a.mp3", {20'000, 40'000});
    list.SetChecked(list.Children(source)[0], false);
    RowId other = AddSource(group, "b.mp3", {});
    list.SetChecked(other, false);
    AddSource(list.AddGroup("H"), "c.mp3", {});
    list.SetChecked(list.Groups()[1], false);

    Run("%F-%S");
    ASSERT_EQ(cutter.cuts.size(), 2u);
    EXPECT_EQ(cutter.cuts[0].out, Out("a-2.mp3"));
    EXPECT_EQ(cutter.cuts[1].out, Out("a-3.mp3"));

    cutter.cuts.clear();
    settings::SplitCountGeneratedTrackNumber.Write(settings, 1);
    settings::SplitConfirmOverwrite.Write(settings, 0);
    Run("%F-%S");
    ASSERT_EQ(cutter.cuts.size(), 2u);
    EXPECT_EQ(cutter.cuts[0].out, Out("a-1.mp3"));
    EXPECT_EQ(cutter.cuts[1].out, Out("a-2.mp3"));
    // The tags keep counting by position.
    EXPECT_EQ(cutter.cuts[0].tags.title, "T002");
}

// Overlaps widen the cut, clamped to the source's duration.
TEST_F(SplitJobTest, OverlapsWidenCuts) {
    RowId source = AddSource(list.AddGroup("G"), "a.mp3", {30'000});
    for (RowId track : list.Children(source)) {
        list.EditCell(track, kColBackOverlap, "0:02.000");
        list.EditCell(track, kColFwdOverlap, "0:45.000");
    }
    Run();
    ASSERT_EQ(cutter.cuts.size(), 2u);
    EXPECT_EQ(cutter.cuts[0].start, 0u);
    EXPECT_EQ(cutter.cuts[0].end, 60'000u);
    EXPECT_EQ(cutter.cuts[1].start, 28'000u);
    EXPECT_EQ(cutter.cuts[1].end, 60'000u);
}

// The overwrite question: yes to all holds until the next group; skip keeps the file; another
// name writes there; the "don't ask" tick is stored.
TEST_F(SplitJobTest, OverwriteAnswers) {
    RowId g1 = list.AddGroup("G1");
    AddSource(g1, "a.mp3", {20'000, 40'000});
    AddSource(list.AddGroup("G2"), "b.mp3", {30'000});
    for (const char* name : {"a-1.mp3", "a-2.mp3", "a-3.mp3", "b-1.mp3", "b-2.mp3"})
        test::WriteFileText(Out(name), "old");
    host.overwriteAnswers = {{OverwriteAnswer::Skip, {}, false},
                             {OverwriteAnswer::YesToAll, {}, false},
                             {OverwriteAnswer::OtherName, Out("renamed.mp3"), true}};
    SplitJobResult result = Run();
    // a-1 skipped, a-2 yes to all, a-3 not asked; group G2 asks again for b-1.
    EXPECT_EQ(host.overwriteAsked,
              (std::vector<std::string>{Out("a-1.mp3"), Out("a-2.mp3"), Out("b-1.mp3")}));
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(result.written, 4);
    EXPECT_EQ(test::ReadFileBytes(Out("a-1.mp3")).size(), 3u);
    EXPECT_TRUE(std::filesystem::exists(Out("renamed.mp3")));
    // The last answer ticked "don't ask again": b-2 was overwritten without a question.
    EXPECT_EQ(result.confirmOverwrite, false);
    EXPECT_EQ(reports.back().outPath, Out("b-2.mp3"));
}

// A name that was free when checked is taken only if still free when the cut is put in place:
// an output another program wrote meanwhile is kept and the track counts as skipped. Leave to
// replace (yes to all) lets the cut replace it.
TEST_F(SplitJobTest, OutputWrittenMeanwhileIsKept) {
    AddSource(list.AddGroup("G"), "a.mp3", {20'000});
    test::WriteFileText(Out("a-2.mp3"), "old");
    host.overwriteAnswers = {{OverwriteAnswer::YesToAll, {}, false}};
    cutter.appearsMeanwhile = true;
    SplitJobResult result = Run();
    ASSERT_EQ(cutter.cuts.size(), 2u);
    EXPECT_EQ(cutter.cuts[0].existing, ExistingOutput::Keep);
    EXPECT_EQ(cutter.cuts[1].existing, ExistingOutput::Replace);
    EXPECT_EQ(reports[0].state, State::Skipped);
    EXPECT_EQ(result.skipped, 1);
    EXPECT_EQ(result.written, 1);
}

// An output that is its own source is refused with OutputIsSource and the job goes on.
TEST_F(SplitJobTest, OutputThatIsItsSourceIsRefused) {
    RowId source = AddSource(list.AddGroup("G"), "live.mp3", {30'000});
    settings::SameFolderAsOriginal.Write(settings, 1);
    list.EditCell(list.Children(source)[0], kColTitle, "live");
    SplitJobResult result = Run("%T");
    EXPECT_TRUE(host.Showed(Msg::OutputIsSource));
    EXPECT_TRUE(host.overwriteAsked.empty());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].state, State::SameAsSource);
    EXPECT_EQ(reports[1].state, State::Written);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(test::ReadFileBytes(dir / "live.mp3").size(), 6u);  // "source" untouched
    EXPECT_EQ(host.completions.back().message.Id(), Msg::SplitIncomplete);
    EXPECT_TRUE(host.openedFolders.empty());
}

// Another name chosen in the overwrite question is checked the same way.
TEST_F(SplitJobTest, OtherNameThatIsTheSourceIsRefused) {
    AddSource(list.AddGroup("G"), "live.mp3", {});
    test::WriteFileText(Out("live-1.mp3"), "old");
    host.overwriteAnswers = {{OverwriteAnswer::OtherName, (dir / "live.mp3").string(), false}};
    Run();
    EXPECT_TRUE(host.Showed(Msg::OutputIsSource));
    EXPECT_TRUE(cutter.cuts.empty());
}

// The same file through a link is still the source.
TEST_F(SplitJobTest, OwnSourceThroughLink) {
    RowId source = AddSource(list.AddGroup("G"), "live.mp3", {});
    std::filesystem::create_symlink(dir / "live.mp3", Out("link.mp3"));
    list.EditCell(list.Children(source)[0], kColTitle, "link");
    settings::SplitConfirmOverwrite.Write(settings, 0);
    Run("%T");
    EXPECT_TRUE(host.Showed(Msg::OutputIsSource));
    EXPECT_TRUE(cutter.cuts.empty());
}

// A failed cut asks abort / retry / ignore: retry cuts again, ignore goes on, abort ends the
// source but not the job.
TEST_F(SplitJobTest, FailureAnswers) {
    RowId group = list.AddGroup("G");
    AddSource(group, "a.mp3", {20'000, 40'000});
    AddSource(group, "b.mp3", {});
    cutter.failuresLeft = 3;
    host.failureAnswers = {FailureAnswer::Retry, FailureAnswer::Ignore, FailureAnswer::Abort};
    SplitJobResult result = Run();
    // a-1 fails, retried and fails, ignored; a-2 fails, aborted; b-1 written.
    ASSERT_EQ(cutter.cuts.size(), 4u);
    EXPECT_EQ(cutter.cuts[1].out, Out("a-1.mp3"));
    EXPECT_EQ(cutter.cuts[2].out, Out("a-2.mp3"));
    EXPECT_EQ(cutter.cuts[3].out, Out("b-1.mp3"));
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(result.written, 1);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(host.messages[0].id, Msg::CannotCreateTrack);
}

// The stop request is read before every track: stop this source, stop all (the success box
// still shows), or go on.
TEST_F(SplitJobTest, StopAnswers) {
    RowId group = list.AddGroup("G");
    AddSource(group, "a.mp3", {20'000, 40'000});
    AddSource(group, "b.mp3", {30'000});
    AddSource(list.AddGroup("H"), "c.mp3", {});
    host.stopAtCall = {1, 2, 4};
    host.stopAnswers = {StopAnswer::Continue, StopAnswer::StopSource, StopAnswer::StopAll};
    SplitJobResult result = Run();
    // a-1 continued and cut, a-2 stops a; b-1 cut, b-2 stops all.
    ASSERT_EQ(cutter.cuts.size(), 2u);
    EXPECT_EQ(cutter.cuts[0].out, Out("a-1.mp3"));
    EXPECT_EQ(cutter.cuts[1].out, Out("b-1.mp3"));
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(host.completions.size(), 1u);
    EXPECT_EQ(std::count(host.statuses.begin(), host.statuses.end(), "Aborted"), 1);
}

// The job's start: an empty list does nothing, an empty rule shows 147, a cancelled picker
// ends it, and "same folder" never asks for a folder.
TEST_F(SplitJobTest, StartConditions) {
    EXPECT_EQ(Run().status, SplitJobStatus::NothingToSplit);
    AddSource(list.AddGroup("G"), "a.mp3", {});
    EXPECT_EQ(Run("").status, SplitJobStatus::NoNamingRule);
    EXPECT_TRUE(host.Showed(Msg::NamingRuleEmpty));
    host.folderAnswers = {std::nullopt};
    EXPECT_EQ(Run().status, SplitJobStatus::Cancelled);
    EXPECT_TRUE(cutter.cuts.empty());
    settings::SameFolderAsOriginal.Write(settings, 1);
    host.folderAnswers = {std::nullopt};
    EXPECT_EQ(Run().status, SplitJobStatus::Finished);
    EXPECT_EQ(cutter.cuts.size(), 1u);
    EXPECT_EQ(cutter.cuts[0].out, (dir / "a-1.mp3").string());
    EXPECT_EQ(host.completions.back().message.Id(), Msg::SplitDoneBesideSources);
}

// The post actions: the box's open-folder and new-split answers, "Start New Split", and the
// don't-show-again tick.
TEST_F(SplitJobTest, PostActions) {
    AddSource(list.AddGroup("G"), "a.mp3", {});
    host.completionReply.openFolder = true;
    host.completionReply.dontShowAgain = true;
    SplitJobResult result = Run();
    EXPECT_EQ(host.openedFolders, (std::vector<std::string>{out}));
    EXPECT_FALSE(result.startNew);
    ASSERT_TRUE(result.completion);
    settings::SplitShowSuccess.Write(settings, 0);  // as the window's host stores the tick
    settings::StartNewSplit.Write(settings, 1);
    settings::SplitConfirmOverwrite.Write(settings, 0);
    result = Run();
    EXPECT_EQ(host.completions.size(), 1u);  // not shown again
    EXPECT_TRUE(result.startNew);
}

// A split that did not write every track reports what became of them, even with the success
// box off, and never starts a new split: the list keeps the user's points.
TEST_F(SplitJobTest, IncompleteSplitIsReportedAndKeepsTheList) {
    settings::SplitShowSuccess.Write(settings, 0);
    settings::StartNewSplit.Write(settings, 1);
    host.completionReply.startNew = true;
    RowId group = list.AddGroup("G");
    AddSource(group, "a.mp3", {20'000, 40'000});
    AddSource(group, "b.mp3", {});
    cutter.failuresLeft = 1;  // a-1 fails and is passed over
    host.stopAtCall = {3};    // before a-3: stop all
    host.stopAnswers = {StopAnswer::StopAll};
    SplitJobResult result = Run();
    EXPECT_FALSE(result.startNew);
    ASSERT_EQ(host.completions.size(), 1u);
    CompletionReport report = host.completions[0];
    EXPECT_FALSE(report.success);
    EXPECT_EQ(report.message.Id(), Msg::SplitIncomplete);
    EXPECT_EQ((std::vector<int>{report.written, report.failed, report.skipped, report.notDone}),
              (std::vector<int>{1, 1, 0, 2}));

    // Sources that cannot be read are named; the tracks of one deleted since it was loaded are
    // reported with its path and the reason.
    cutter.readable = false;
    std::filesystem::remove(dir / "a.mp3");
    reports.clear();
    result = Run();
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0].state, State::NotCut);
    EXPECT_EQ(reports[0].sourcePath, (dir / "a.mp3").string());
    EXPECT_EQ(reports[0].reason, FileErrorText(ENOENT));
    EXPECT_FALSE(result.startNew);
    report = host.completions.back();
    EXPECT_EQ(report.unreadableSources,
              (std::vector<std::string>{(dir / "a.mp3").string(), (dir / "b.mp3").string()}));
    EXPECT_NE(report.message.Text().find((dir / "b.mp3").string()), std::string::npos);
}

// A stop request while a source is prepared asks at once; stopping leaves its tracks undone.
TEST_F(SplitJobTest, StopWhilePreparing) {
    RowId group = list.AddGroup("G");
    AddSource(group, "a.mp3", {20'000});
    AddSource(group, "b.mp3", {});
    cutter.indexing = true;
    host.stopAtCall = {1};
    host.stopAnswers = {StopAnswer::StopSource};
    SplitJobResult result = Run();
    EXPECT_TRUE(cutter.stoppedPreparing);
    ASSERT_EQ(cutter.cuts.size(), 1u);
    EXPECT_EQ(cutter.cuts[0].out, Out("b-1.mp3"));
    EXPECT_EQ(result.notDone, 2);
    EXPECT_TRUE(result.stopped);
}

// The sheet export runs for sources that were split to the end, named after the source.
TEST_F(SplitJobTest, CueExportAfterSource) {
    settings::ExportCue.Write(settings, 1);
    RowId group = list.AddGroup("G");
    AddSource(group, "a.mp3", {});
    AddSource(group, "b.mp3", {30'000});
    host.stopAtCall = {3};  // before b's second track
    std::vector<std::string> sheets;
    Run("%F-%S", [&](SplitJobOptions& options) {
        options.writeCueSheet = [&](const SplitList&, RowId, const std::string& path,
                                    const CutPosition&) {
            sheets.push_back(path);
            return true;
        };
    });
    EXPECT_EQ(sheets, (std::vector<std::string>{Out("a.cue")}));
}

// A dry run names and maps every output, writes and asks nothing.
TEST_F(SplitJobTest, DryRunWritesNothing) {
    AddSource(list.AddGroup("G"), "a.mp3", {20'000});
    test::WriteFileText(Out("a-1.mp3"), "old");
    SplitJobResult result =
        Run("sub\\%F-%S", [](SplitJobOptions& options) { options.dryRun = true; });
    EXPECT_TRUE(cutter.cuts.empty());
    EXPECT_TRUE(host.overwriteAsked.empty());
    EXPECT_TRUE(host.completions.empty());
    EXPECT_FALSE(std::filesystem::exists(Out("sub")));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].state, State::Planned);
    EXPECT_EQ(reports[1].outPath, Out("sub/a-2.mp3"));
    EXPECT_EQ(reports[1].bytes->begin, 20'000u);
    EXPECT_EQ(result.written, 0);
}

// The source's mode text decides the mode it is prepared in; "%N" is its track count.
TEST_F(SplitJobTest, ModeAndTrackCount) {
    RowId source = AddSource(list.AddGroup("G"), "a.mp3", {30'000});
    list.SetMode(source, SplitMode::Frame);
    Run("%F of %N-%S");
    ASSERT_EQ(cutter.prepared.size(), 1u);
    EXPECT_EQ(cutter.prepared[0].second, SplitMode::Frame);
    EXPECT_EQ(cutter.cuts[1].out, Out("a of 2-2.mp3"));
}

}  // namespace
}  // namespace partita
