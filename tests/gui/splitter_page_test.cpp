#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <iostream>

#include "app/setting_values.h"
#include "app/string_table.h"
#include "cli/cli_support.h"
#include "event_loop_gap_meter.h"
#include "group_name_dialog.h"
#include "gui_test_support.h"
#include "move_to_group_dialog.h"
#include "overwrite_dialog.h"
#include "preview_panel.h"
#include "program_startup.h"
#include "scripted_user.h"
#include "silence_split_dialog.h"
#include "split_list_model.h"
#include "split_loading.h"
#include "split_stop_dialog.h"
#include "split_tree_view.h"
#include "splitter_page.h"
#include "tag_editor_dialog.h"
#include "tags/chapter_frames.h"
#include "tags/id3v2.h"
#include "ui_text.h"
#include "waveform_view.h"

namespace partita::gui::test {
namespace {

namespace fs = std::filesystem;
using partita::test::MakeMp3;
using partita::test::ReadFileBytes;

class SplitterPageTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        settings = OpenSettings();
        SettingsStore& store = settings->Store();
        settings::SplitOutputFolderConfirmation.Write(store, 0);
        settings::SplitShowSuccess.Write(store, 0);
        settings::SplitTipsDialog.Write(store, 0);
        // Default track titles are in the page's language; the command line's are English.
        SetCurrentLanguage(Language::English);
        MakePage();
    }
    void TearDown() override {
        page.reset();
        IniFileTest::TearDown();
    }
    void MakePage() {
        page.reset();
        page = std::make_unique<SplitterPage>(PageContext{settings->Store(), messages}, nullptr,
                                              nullptr);
        page->resize(1100, 720);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
        page->setFocus();
    }
    fs::path Mp3(const std::string& name, std::uint32_t ms) {
        return MakeMp3(dir.Path(), name, {{440, ms}}, {"-b", "128"}, 44100, 1);
    }
    bool Idle() {
        return WaitUntil([&] { return !page->IsBusy(); });
    }
    // A modal window gives the activation back late: keys wait for it.
    void Activate() {
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    }
    const SplitList& List() const { return page->List(); }
    RowId FirstSource() const {
        return List().Empty() ? kNoRow : List().Children(List().Groups().front()).front();
    }
    std::vector<TrackTimes> Tracks(RowId source) const {
        std::vector<TrackTimes> times;
        for (RowId track : List().Children(source))
            times.push_back(List().GetTrackTimes(track, false));
        return times;
    }
    void Select(RowId row) {
        auto* model = static_cast<SplitListModel*>(page->Tree()->model());
        page->Tree()->setCurrentIndex(model->IndexOf(row));
    }
    void InsertAt(std::uint64_t ms) {
        page->Preview()->SetPosition(ms);
        QTest::keyClick(page.get(), Qt::Key_I, Qt::AltModifier);
    }
    template <typename T>
    T* Child(const char* name) {
        return page->findChild<T*>(QString::fromLatin1(name));
    }
    void Start(const fs::path& out, const QString& rule) {
        Child<QLineEdit>("outputFolder")->setText(QString::fromStdString(out.string()));
        Child<QLineEdit>("namingRule")->setText(rule);
        Child<QPushButton>("startButton")->click();
    }
    static std::vector<std::string> Files(const fs::path& folder) {
        std::vector<std::string> names;
        if (fs::is_directory(folder)) {
            for (const auto& entry : fs::recursive_directory_iterator(folder))
                if (entry.is_regular_file())
                    names.push_back(fs::relative(entry.path(), folder).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    RecordedMessages messages;
    std::unique_ptr<ProgramSettings> settings;
    std::unique_ptr<SplitterPage> page;
};

// A source from the command line takes split points from Alt+I and Enter in the time box and an
// edited time, moves to a second group of the same name, and splits byte for byte as the
// command-line program does with the same points and rule.
TEST_F(SplitterPageTest, EditedSourceSplitsAsTheCommandLineDoes) {
    fs::path source = Mp3("tone.mp3", 10000);
    ASSERT_TRUE(page->ApplyCommand(CommandAction::Split, source.string()));
    ASSERT_TRUE(Idle());
    RowId row = FirstSource();
    ASSERT_NE(row, kNoRow);
    const std::uint64_t length = List().SourceDuration(row);

    InsertAt(3000);
    page->Preview()->SetPosition(5000);
    page->Preview()->TimeBox()->setFocus();
    QTest::keyClick(page->Preview()->TimeBox(), Qt::Key_Return);
    ASSERT_EQ(Tracks(row).size(), 3u);
    // The middle track's end moves to 7 s: the last track starts there.
    auto* model = static_cast<SplitListModel*>(page->Tree()->model());
    RowId middle = List().Children(row)[1];
    ASSERT_TRUE(model->setData(model->IndexOf(middle), "0:03.000-0:07.000"));
    EXPECT_EQ(Tracks(row), (std::vector<TrackTimes>{{0, 3000}, {3000, 7000}, {7000, length}}));

    ScriptedUser user;
    user.Then<GroupNameDialog>([&](GroupNameDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>();
            name->setText(MessageText(Msg::DefaultSplitGroup));
            dialog->accept();
        })
        .Then<MoveToGroupDialog>([](MoveToGroupDialog* dialog) {
            dialog->findChild<QComboBox*>()->setCurrentIndex(1);
            dialog->accept();
        });
    QTest::keyClick(page.get(), Qt::Key_G, Qt::AltModifier);
    ASSERT_EQ(List().Groups().size(), 2u);
    Activate();
    Select(row);
    QTest::keyClick(page.get(), Qt::Key_M, Qt::AltModifier);
    EXPECT_EQ(user.Remaining(), 0u);
    EXPECT_EQ(List().GroupOf(row), List().Groups()[1]);

    fs::create_directories(dir / "desk");
    Start(dir / "desk", "%F-%S");
    ASSERT_TRUE(Idle());
    auto cli = partita::test::RunCli({"--settings", (dir / "cli.ini").string(), "split",
                                      source.string(), "-o", (dir / "cli").string(), "--rule",
                                      "%F-%S", "--at", "3,7", "-q"});
    ASSERT_EQ(cli.code, 0) << cli.output;
    std::vector<std::string> names = Files(dir / "cli");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(Files(dir / "desk"), names);
    for (const std::string& name : names)
        EXPECT_EQ(ReadFileBytes(dir / "desk" / name), ReadFileBytes(dir / "cli" / name)) << name;
    EXPECT_EQ(settings::SplitNamingRule.Read(settings->Store()), "%F-%S");
}

// A dropped file is loaded; Stop honoured before the next track ends the job with the editing
// commands off while it ran and on again afterwards.
TEST_F(SplitterPageTest, DroppedSourceSplitStopsBeforeTheNextTrack) {
    fs::path source = Mp3("drop.mp3", 6000);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(source.string()))});
    QWidget* viewport = page->Tree()->viewport();
    QDropEvent drop(QPointF(viewport->rect().center()), Qt::CopyAction, &mime, Qt::LeftButton,
                    Qt::NoModifier);
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &mime, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    QCoreApplication::sendEvent(viewport, &drop);
    ASSERT_TRUE(Idle());
    RowId row = FirstSource();
    ASSERT_NE(row, kNoRow);
    for (std::uint64_t ms : {1000, 2000, 3000, 4000})
        InsertAt(ms);
    ASSERT_EQ(Tracks(row).size(), 5u);

    fs::create_directories(dir / "out");
    partita::test::WriteFileText(dir / "out" / "drop-1.mp3", "old");
    bool editingOff = false;
    ScriptedUser user;
    user.Then<OverwriteDialog>([&](OverwriteDialog* dialog) {
            editingOff = page->IsBusy() && !page->Command("insertPoint")->isEnabled();
            Child<QPushButton>("startButton")->click();  // Stop
            ScriptedUser::Click(dialog, "Yes");
        })
        .Then<SplitStopDialog>(
            [](SplitStopDialog* dialog) { ScriptedUser::Click(dialog, "StopAll"); })
        .Then<QDialog>([](QDialog* report) { report->accept(); });
    Start(dir / "out", "%F-%S");
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(editingOff);
    EXPECT_EQ(user.Remaining(), 0u);
    EXPECT_EQ(Files(dir / "out"), std::vector<std::string>{"drop-1.mp3"});
    EXPECT_GT(fs::file_size(dir / "out" / "drop-1.mp3"), 1000u);
    EXPECT_TRUE(page->Command("insertPoint")->isEnabled());
}

// Add a file, step, insert three points, name a track and start, all from the keyboard; the
// overwrite question is answered and the named track carries its title.
TEST_F(SplitterPageTest, KeyboardOnlySplit) {
    fs::path source = Mp3("keys.mp3", 12000);
    fs::create_directories(dir / "out");
    partita::test::WriteFileText(dir / "out" / "keys-4.mp3", "old");
    Child<QLineEdit>("outputFolder")->setText(QString::fromStdString((dir / "out").string()));
    Child<QLineEdit>("namingRule")->setText("%F-%S");

    ScriptedUser user;
    user.Then<QDialog>([&](QDialog* files) {
        ScriptedUser::AnswerFileDialog(files, QString::fromStdString(source.string()));
    });
    QTest::keyClick(page.get(), Qt::Key_A, Qt::AltModifier);
    ASSERT_TRUE(Idle());
    Activate();
    RowId row = FirstSource();
    ASSERT_NE(row, kNoRow);
    QWidget* time = page->Preview()->TimeBox();
    time->setFocus();
    for (int point = 0; point < 3; ++point) {
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(time, Qt::Key_PageUp);
        QTest::keyClick(time, Qt::Key_Return);
    }
    EXPECT_EQ(Tracks(row).size(), 4u);
    EXPECT_EQ(Tracks(row)[3].start, 9000u);

    page->Tree()->setFocus();
    Select(List().Children(row)[1]);
    user.Then<TagEditorDialog>([](TagEditorDialog* dialog) {
        auto* title = dialog->findChild<QLineEdit*>("Title");
        ASSERT_NE(title, nullptr);
        title->setText("Second");
        dialog->accept();
    });
    QTest::keyClick(page->Tree(), Qt::Key_Return);
    EXPECT_EQ(List().Row(List().Children(row)[1]).tags.title, "Second");
    Activate();
    EXPECT_FALSE(page->IsBusy());  // Enter in the list edits tags, it starts nothing

    user.Then<OverwriteDialog>([](OverwriteDialog* dialog) { ScriptedUser::Click(dialog, "Yes"); });
    // The mnemonic clicks the button a moment later, as a mouse click would look.
    QTest::keyClick(page.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(WaitUntil([&] { return user.Remaining() == 0; }));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(user.Remaining(), 0u);
    EXPECT_EQ(Files(dir / "out").size(), 4u);
    EXPECT_GT(fs::file_size(dir / "out" / "keys-4.mp3"), 1000u);
}

// The window keeps its turns while a long file is split and scanned for silence.
TEST_F(SplitterPageTest, LongJobsLeaveTheWindowLive) {
    fs::path source = MakeMp3(dir.Path(), "long.mp3",
                              {{440, 40000}, {0, 3000}, {660, 40000}, {0, 3000}, {440, 40000}},
                              {"-b", "32"}, 22050, 1);
    ASSERT_TRUE(page->ApplyCommand(CommandAction::Split, source.string()));
    ASSERT_TRUE(Idle());
    RowId row = FirstSource();
    for (std::uint64_t ms = 12000; ms < 120000; ms += 12000)
        InsertAt(ms);
    fs::create_directories(dir / "out");
    {
        EventLoopGapMeter meter;
        Start(dir / "out", "%F-%S");
        ASSERT_TRUE(Idle());
        std::cout << "longest event-loop gap during the split: " << meter.LongestGap().count()
                  << " ms\n";
        EXPECT_LT(meter.LongestGap().count(), 2000);
    }
    EXPECT_EQ(Files(dir / "out").size(), 10u);
    {
        Select(row);
        ScriptedUser user;
        user.Then<SilenceSplitDialog>([](SilenceSplitDialog* dialog) { dialog->accept(); });
        EventLoopGapMeter meter;
        page->Command("silenceSplit")->trigger();
        ASSERT_TRUE(Idle());
        std::cout << "longest event-loop gap during the silence scan: "
                  << meter.LongestGap().count() << " ms\n";
        EXPECT_LT(meter.LongestGap().count(), 2000);
    }
    EXPECT_EQ(Tracks(row).size(), 3u);
}

// "Split at chapters" on a selected source gives it one track per chapter, titled as the chapter.
TEST_F(SplitterPageTest, SplitAtChaptersMakesOneTrackPerChapter) {
    fs::path book = Mp3("book.mp3", 3000);
    ASSERT_TRUE(WriteId3v2(book, TagInfo{},
                           MakeChapterFrames(std::vector<Chapter>{{"", "A", "", 0, 1000},
                                                                  {"", "B", "", 1000, 2000}})));
    ASSERT_TRUE(page->ApplyCommand(CommandAction::Split, book.string()));
    ASSERT_TRUE(Idle());
    RowId row = FirstSource();
    ASSERT_NE(row, kNoRow);
    ASSERT_EQ(Tracks(row).size(), 1u);
    Select(row);
    page->Command("splitAtChapters")->trigger();
    std::vector<TrackTimes> tracks = Tracks(row);
    ASSERT_GE(tracks.size(), 2u);
    EXPECT_EQ(tracks[0], (TrackTimes{0, 1000}));
    EXPECT_EQ(tracks[1], (TrackTimes{1000, 2000}));
    EXPECT_EQ(List().Row(List().Children(row)[1]).tags.title, "B");
    // The audio after the last chapter is a track of its own, left out of the split.
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_FALSE(List().Row(List().Children(row)[2]).checked);
}

// Sources loaded on the worker move into the page's list with their tracks as loaded: gaps a
// sheet leaves, cells and check states.
TEST(SplitLoading, MovedSourcesKeepTheirTracksAndCells) {
    SplitList loaded, list;
    list.AddGroup("Mine");
    SourceRowValues values;
    values.tags.artist = "Artist";
    values.mode = SplitMode::Frame;
    RowId source = loaded.AddSource("/music/a.mp3", 9000, values);
    loaded.AppendTrack(source, {0, 2000});
    RowId second = loaded.AppendTrack(source, {3000, 9000});
    loaded.SetChecked(second, false);
    TagTemplates tags = values.tags;
    tags.title = "Two";
    loaded.SetTags(second, tags);

    RowId moved = MoveLoadedSources(loaded, list);
    EXPECT_TRUE(loaded.Empty());
    ASSERT_EQ(list.Groups().size(), 1u);
    EXPECT_EQ(list.GroupOf(moved), list.Groups()[0]);
    EXPECT_EQ(list.SourcePath(moved), "/music/a.mp3");
    EXPECT_EQ(list.Row(moved).mode, SplitMode::Frame);
    ASSERT_EQ(list.TrackCount(moved), 2);
    RowId track = list.Children(moved)[1];
    EXPECT_EQ(list.GetTrackTimes(track, false), (TrackTimes{3000, 9000}));
    EXPECT_FALSE(list.Row(track).checked);
    EXPECT_EQ(list.Row(track).tags, tags);
    EXPECT_TRUE(list.Row(list.Children(moved)[0]).checked);
}

// The page with a source and its split points, in both languages.
TEST_F(SplitterPageTest, Screenshots) {
    fs::path source = Mp3("样本.mp3", 8000);
    for (Language language : {Language::Chinese, Language::English}) {
        SetCurrentLanguage(language);
        MakePage();
        ExpectEveryControlNamed(page.get());
        ExpectWholeColumnNames(page.get());
        ASSERT_TRUE(page->ApplyCommand(CommandAction::Split, source.string()));
        ASSERT_TRUE(Idle());
        InsertAt(2500);
        InsertAt(5000);
        // The picture shows the waveform, not the note that it is still being read.
        auto* waveform = page->findChild<WaveformView*>();
        ASSERT_NE(waveform, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return waveform->BlockCount() > 0; }, 10000));
        QTest::qWait(200);
        const char* suffix = language == Language::Chinese ? "zh_CN" : "en";
        QString file = QString::fromStdString(ScreenshotFolder()) +
                       QStringLiteral("/page_splitter_%1.png").arg(suffix);
        EXPECT_TRUE(page->grab().save(file)) << file.toStdString();
    }
}

}  // namespace
}  // namespace partita::gui::test
