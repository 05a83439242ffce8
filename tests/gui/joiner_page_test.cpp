#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <iostream>

#include "app/setting_values.h"
#include "app/string_table.h"
#include "event_loop_gap_meter.h"
#include "gui_test_support.h"
#include "insert_silence_dialog.h"
#include "joiner_page.h"
#include "merge_complete_dialog.h"
#include "merge_list_view.h"
#include "output_tag_dialog.h"
#include "partial_merge_dialog.h"
#include "question_box.h"
#include "scripted_user.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

namespace fs = std::filesystem;
using User = ScriptedUser;

QKeySequence Alt(Qt::Key key) {
    return QKeySequence(Qt::ALT | key);
}
QKeySequence Ctrl(Qt::Key key) {
    return QKeySequence(Qt::CTRL | key);
}

class JoinerPageTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        settings = OpenSettings();
        settings::MergeSourceLastFolder.Write(Store(), dir.Path().string());
        page = std::make_unique<JoinerPage>(PageContext{Store(), messages}, nullptr);
        page->SetUrlOpener([this](const QUrl& url) {
            opened.push_back(url.toLocalFile().toStdString());
            return true;
        });
        page->resize(900, 560);
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        page->View()->setFocus();
    }
    void TearDown() override {
        page.reset();
        IniFileTest::TearDown();
    }

    SettingsStore& Store() { return settings->Store(); }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    std::string Mp3(const std::string& name, std::uint32_t ms, double frequency = 440) {
        return partita::test::MakeMp3(dir.Path(), name, {{frequency, ms, 0.4}}, {"-b", "128"})
            .string();
    }
    std::string Wav(const std::string& name, std::uint32_t ms, std::uint32_t rate = 44100) {
        partita::test::WriteWav(P(name), partita::test::SynthesizePcm({{330, ms, 0.4}}, rate, 2),
                                rate, 2);
        return P(name);
    }
    std::string Ogg(const std::string& name, std::uint32_t ms) {
        std::string wav = Wav(name + ".wav", ms);
        std::string out;
        EXPECT_EQ(partita::test::RunProgram({"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", wav,
                                             "-c:a", "libvorbis", P(name)},
                                            &out),
                  0)
            << out;
        fs::remove(wav);
        return P(name);
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const MergeRow& row : page->List().Rows())
            names.push_back(row.fileName);
        return names;
    }
    QAbstractButton* Button(const char* name) {
        return page->findChild<QAbstractButton*>(QString::fromLatin1(name));
    }
    QString Label(const char* name) {
        return page->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    void Press(const QKeySequence& keys) { User::Press(page.get(), keys); }
    void Select(int row) { page->View()->SelectRows(static_cast<std::size_t>(row), 1); }
    // Presses Alt+A and picks the files by their names in the test's folder.
    void AddByKeys(const QStringList& names) {
        User user;
        user.Then<QFileDialog>([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), MessageText(Msg::AddMergeFilesTitle));
            QStringList quoted;
            for (const QString& name : names)
                quoted << '"' + name + '"';
            User::AnswerFileDialog(dialog, quoted.join(' '));
        });
        Press(Alt(Qt::Key_A));
        ASSERT_TRUE(WaitUntil([&] { return user.Remaining() == 0; }));
        page->View()->setFocus();
    }
    // Waits until the merge that `start` began has ended and every expected dialog came.
    void RunMerge(ScriptedUser& user, const std::function<void()>& start) {
        start();
        ASSERT_TRUE(WaitUntil([&] { return page->IsBusy(); }, 5000) || user.Remaining() == 0);
        ASSERT_TRUE(WaitUntil([&] { return user.Remaining() == 0 && !page->IsBusy(); }, 120000));
    }

    std::unique_ptr<ProgramSettings> settings;
    RecordedMessages messages;
    std::unique_ptr<JoinerPage> page;
    std::vector<std::string> opened;
};

// Files of three formats are added by the dialog and sorted by name; the totals follow; rows
// move with Ctrl+Up/Down/Home/End and a drag, sort by a header click and back the other way
// (the order stored), play with F2 and go with Del; commands without a selection say so.
TEST_F(JoinerPageTest, ListCommandsArrangeTheRows) {
    Mp3("b.mp3", 2000);
    Wav("a.wav", 3000);
    Ogg("c.ogg", 1500);
    EXPECT_EQ(Label("TotalSize"), "0 KB");
    AddByKeys({"b.mp3", "c.ogg", "a.wav"});
    ASSERT_EQ(Names(), (std::vector<std::string>{"a.wav", "b.mp3", "c.ogg"}));
    EXPECT_EQ(page->View()->SelectedRows(), std::vector<std::size_t>{1});  // the first added
    EXPECT_EQ(Label("TotalLength"), "0:00:06");
    EXPECT_EQ(page->List().Row(2).Text(kMergeLength), "0:00:01");

    Press(Ctrl(Qt::Key_Up));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.mp3", "a.wav", "c.ogg"}));
    Press(Ctrl(Qt::Key_Up));  // the first row stays
    Press(Ctrl(Qt::Key_End));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.wav", "c.ogg", "b.mp3"}));
    Press(Ctrl(Qt::Key_Down));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.wav", "c.ogg", "b.mp3"}));

    // Dragging the last row onto the first puts it first; below the rows means the end.
    MergeListView* view = page->View();
    auto drop = [&](int row, QPoint at) {
        // As a drag delivers it: the drop goes to the widget that took the drag's entry.
        std::unique_ptr<QMimeData> data(view->model()->mimeData({view->model()->index(row, 0)}));
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(at, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    };
    drop(2, view->visualRect(view->model()->index(0, 0)).center());
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.mp3", "a.wav", "c.ogg"}));
    drop(0, QPoint(10, view->viewport()->height() - 5));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.wav", "c.ogg", "b.mp3"}));

    QHeaderView* header = view->header();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    };
    clickHeader(kMergeLength);
    EXPECT_EQ(Names(), (std::vector<std::string>{"c.ogg", "b.mp3", "a.wav"}));
    EXPECT_EQ(settings::JoinSortingColumn.Read(Store()), kMergeLength);
    clickHeader(kMergeLength);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.wav", "b.mp3", "c.ogg"}));
    EXPECT_EQ(settings::JoinSortingDir.Read(Store()), 0);

    Select(1);
    view->setFocus();
    Press(Qt::Key_F2);
    EXPECT_EQ(opened, std::vector<std::string>{P("b.mp3")});
    Press(Qt::Key_Delete);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.wav", "c.ogg"}));
    EXPECT_EQ(Label("TotalLength"), "0:00:04");

    view->selectionModel()->clearSelection();
    Press(Ctrl(Qt::Key_Down));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second, MessageText(Msg::SelectFileFirst));
}

// Silence and a partial range set through their dialogs survive a save of the list, a clear and
// a load of the saved list: same rows, order, silences and ranges.
TEST_F(JoinerPageTest, SavedListReopensWithItsSilencesAndRanges) {
    Mp3("a.mp3", 3000);
    Mp3("b.mp3", 4000);
    Wav("w.wav", 5000);
    AddByKeys({"a.mp3", "b.mp3", "w.wav"});
    Select(0);
    User user;
    user.Then<InsertSilenceDialog>([](InsertSilenceDialog* dialog) {
            auto* seconds = dialog->findChild<QSpinBox*>("Seconds");
            seconds->selectAll();
            QTest::keyClicks(seconds, "3");
            User::Click(dialog, "Apply");
        })
        .Then<PartialMergeDialog>([](PartialMergeDialog* dialog) {
            dialog->findChild<QCheckBox*>("Enable")->setChecked(true);
            dialog->findChild<QRadioButton*>("EndPositionMode")->setChecked(true);
            for (auto [name, time] : {std::pair{"Start", "0:00:01"}, {"EndPosition", "0:00:02"}}) {
                auto* edit = dialog->findChild<QLineEdit*>(name);
                edit->selectAll();
                QTest::keyClicks(edit, time);
            }
            User::Click(dialog, "Ok");
        })
        .Then<QFileDialog>([&](QFileDialog* dialog) {
            User::AnswerFileDialog(dialog, QString::fromStdString(P("list.m3u")));
        })
        .Then<QuestionBox>([](QuestionBox* box) { User::Click(box, "Yes"); })
        .Then<QFileDialog>([&](QFileDialog* dialog) {
            User::AnswerFileDialog(dialog, QString::fromStdString(P("list.m3u")));
        });
    Press(Alt(Qt::Key_S));
    page->View()->SelectRows(1, 2);
    Press(Alt(Qt::Key_P));
    auto rowTexts = [&] {
        std::vector<std::vector<std::string>> rows;
        for (const MergeRow& row : page->List().Rows())
            rows.push_back({row.fileName, row.Text(kMergeStart), row.Text(kMergeEnd),
                            row.Text(kMergeSilence)});
        return rows;
    };
    const auto before = rowTexts();
    ASSERT_EQ(before,
              (std::vector<std::vector<std::string>>{
                  {"a.mp3", "0:00:00", "0:00:03", "3"},
                  {"b.mp3", "0:00:01", "0:00:02", MessageText(Msg::NoSilence).toStdString()},
                  {"w.wav", "0:00:01", "0:00:02", MessageText(Msg::NoSilence).toStdString()}}));
    Press(Alt(Qt::Key_L));
    page->View()->setFocus();
    Press(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    ASSERT_TRUE(page->List().Empty());
    EXPECT_EQ(Label("TotalLength"), "0:00:00");
    Button("OpenList")->click();
    ASSERT_TRUE(WaitUntil([&] { return user.Remaining() == 0; }));
    EXPECT_EQ(rowTexts(), before);
    EXPECT_TRUE(messages.shown.empty());
}

// The keyboard alone: add files, order them, 2 s of silence after the first, name the output
// and merge. The direct merge writes byte for byte what the command line writes from the saved
// list with the same options.
TEST_F(JoinerPageTest, KeyboardOnlyDirectMergeMatchesTheCommandLine) {
    Mp3("a.mp3", 1500);
    Mp3("b.mp3", 1000, 660);
    AddByKeys({"b.mp3", "a.mp3"});
    Press(Ctrl(Qt::Key_Up));
    ASSERT_EQ(Names(), (std::vector<std::string>{"b.mp3", "a.mp3"}));
    auto user = std::make_unique<User>();  // gone before the list's saver comes
    user->Then<InsertSilenceDialog>([](InsertSilenceDialog* dialog) {
            auto* seconds = dialog->findChild<QSpinBox*>("Seconds");
            seconds->setFocus();
            seconds->selectAll();
            QTest::keyClicks(seconds, "2");
            User::Press(dialog, Qt::Key_Return);
        })
        .Then<QFileDialog>([&](QFileDialog* dialog) {
            User::AnswerFileDialog(dialog, QString::fromStdString(P("page.mp3")));
        })
        .Then<MergeCompleteDialog>(
            [](MergeCompleteDialog* done) { User::Press(done, Qt::Key_Return); });
    Press(Alt(Qt::Key_S));
    EXPECT_EQ(page->List().Row(0).silenceSeconds, 2);
    RunMerge(*user, [&] { Press(Alt(Qt::Key_M)); });
    user.reset();
    ASSERT_TRUE(fs::exists(P("page.mp3")));
    page->View()->setFocus();
    User saver;
    saver.Then<QFileDialog>([&](QFileDialog* dialog) {
        User::AnswerFileDialog(dialog, QString::fromStdString(P("list.m3u")));
    });
    Press(Alt(Qt::Key_L));
    ASSERT_TRUE(WaitUntil([&] { return saver.Remaining() == 0; }));

    std::string output;
    ASSERT_EQ(partita::test::RunProgram({PARTITA_CLI_PATH, "--settings", P("cli.ini"), "merge",
                                         "--list", P("list.m3u"), "-o", P("cli.mp3"), "--quiet"},
                                        &output),
              0)
        << output;
    EXPECT_EQ(partita::test::ReadFileBytes(P("page.mp3")),
              partita::test::ReadFileBytes(P("cli.mp3")));
    EXPECT_NEAR(partita::test::ProbeDurationMs(P("page.mp3")), 4500, 150);
}

// A convert merge of a WAV, an MP3 and an Ogg file runs on the worker thread: the page is busy
// (nothing of the list can change), the window keeps turning, progress and status move, and the
// output is one decodable MP3 of their length. A second run is stopped: no output is left.
TEST_F(JoinerPageTest, ConvertMergeRunsBesideTheWindowAndStops) {
    Wav("long.wav", 120000, 48000);
    Mp3("m.mp3", 2000);
    Ogg("o.ogg", 1500);
    AddByKeys({"long.wav", "m.mp3", "o.ogg"});
    ASSERT_EQ(page->List().Size(), 3u);

    int statusChanges = 0;
    int progressInFirstFile = 0;  // the long WAV's encoding shows as it goes
    bool editableWhileBusy = false;
    QObject::connect(page.get(), &Page::StatusTextChanged, [&] { ++statusChanges; });
    auto* progress = page->findChild<QProgressBar*>("Progress");
    QObject::connect(progress, &QProgressBar::valueChanged, [&](int value) {
        if (page->StatusText().contains("01/03"))
            progressInFirstFile = std::max(progressInFirstFile, value);
        if (value > 0)
            editableWhileBusy = editableWhileBusy || Button("Add")->isEnabled() ||
                                !page->IsBusy() || page->View()->dragEnabled();
    });
    auto user = std::make_unique<User>();  // gone before the second run's user comes
    user->Then<QFileDialog>([&](QFileDialog* dialog) {
            User::AnswerFileDialog(dialog, QString::fromStdString(P("out.mp3")));
        })
        .Then<MergeCompleteDialog>(
            [](MergeCompleteDialog* done) { User::Press(done, Qt::Key_Return); });
    EventLoopGapMeter meter;
    RunMerge(*user, [&] { Press(Alt(Qt::Key_M)); });
    user.reset();
    std::cout << "longest event-loop gap during a convert merge of a 2-minute WAV: "
              << meter.LongestGap().count() << " ms (" << meter.Turns() << " turns)\n";
    EXPECT_LT(meter.LongestGap(), std::chrono::milliseconds(1500));
    EXPECT_FALSE(editableWhileBusy);
    EXPECT_GT(progressInFirstFile, 0);
    EXPECT_GE(statusChanges, 3);
    EXPECT_EQ(page->StatusText(), MessageText(Msg::MergeIdle));
    EXPECT_EQ(progress->value(), 0);
    EXPECT_TRUE(Button("Add")->isEnabled());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_NEAR(partita::test::ProbeDurationMs(P("out.mp3")), 123500, 500);
    EXPECT_TRUE(partita::test::DecodesCleanly(P("out.mp3")));
    EXPECT_EQ(settings::MergeDestinationName.Read(Store()), "out.mp3");

    // The Start button stops the next run once the user confirms.
    User stopper;
    stopper
        .Then<QFileDialog>([&](QFileDialog* dialog) {
            User::AnswerFileDialog(dialog, QString::fromStdString(P("stopped.mp3")));
            QTimer::singleShot(300, [&] {
                EXPECT_EQ(Button("StartMerge")->text(), MessageText(Msg::StopMergeLabel));
                Button("StartMerge")->click();
            });
        })
        .Then<QuestionBox>([](QuestionBox* box) {
            EXPECT_EQ(box->text(), MessageText(Msg::ConfirmStopMerge));
            User::Click(box, "Ok");
        });
    RunMerge(stopper, [&] { Button("StartMerge")->click(); });
    EXPECT_FALSE(fs::exists(P("stopped.mp3")));
    EXPECT_EQ(Button("StartMerge")->text(), MessageText(Msg::StartMergeLabel));
    EXPECT_EQ(page->List().Size(), 3u);
}

// Cancelled dialogs change nothing: no files added, the list kept after a No to clearing, and
// no output or stored name when the save dialog is cancelled.
TEST_F(JoinerPageTest, CancelledDialogsChangeNothing) {
    Mp3("a.mp3", 1000);
    page->ApplyCommand(CommandAction::Merge, P("a.mp3"));  // as "-a MERGE -s PATH" does
    ASSERT_EQ(Names(), std::vector<std::string>{"a.mp3"});
    User user;
    user.Then<QFileDialog>([](QFileDialog* dialog) { User::Press(dialog, Qt::Key_Escape); })
        .Then<QuestionBox>([](QuestionBox* box) {
            EXPECT_EQ(box->text(), MessageText(Msg::ConfirmClearMergeList));
            User::Click(box, "No");
        })
        .Then<QFileDialog>([](QFileDialog* dialog) { User::Press(dialog, Qt::Key_Escape); });
    Press(Alt(Qt::Key_A));
    page->View()->setFocus();
    Press(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    RunMerge(user, [&] { Press(Qt::Key_Return); });
    EXPECT_EQ(Names(), std::vector<std::string>{"a.mp3"});
    EXPECT_EQ(settings::MergeDestinationName.Read(Store()), "");
    int mp3s = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        mp3s += entry.path().extension() == ".mp3";
    EXPECT_EQ(mp3s, 1);
    EXPECT_TRUE(messages.shown.empty());
}

// The tag dialog's chapter tick shows the stored "Write Chapters" and OK stores the change.
TEST_F(JoinerPageTest, TagDialogKeepsTheChapterSwitch) {
    settings::WriteChapters.Write(Store(), 1);
    bool shownTicked = false;
    User user;
    user.Then<OutputTagDialog>([&](OutputTagDialog* dialog) {
        auto* tick = dialog->findChild<QCheckBox*>("ChapterPerInput");
        shownTicked = tick->isChecked();
        tick->setChecked(false);
        User::Click(dialog, "Ok");
    });
    page->findChild<QPushButton*>("Id3")->menu()->actions().front()->trigger();
    ASSERT_TRUE(WaitUntil([&] { return user.Remaining() == 0; }));
    EXPECT_TRUE(shownTicked);
    EXPECT_EQ(settings::WriteChapters.Read(Store()), 0);
}

// The page with a loaded list, in both languages, for a look at its layout.
TEST_F(JoinerPageTest, SavesScreenshots) {
    Mp3("Aria.mp3", 2000);
    Wav("Variation 1.wav", 3000);
    for (Language language : {Language::Chinese, Language::English}) {
        SetCurrentLanguage(language);
        JoinerPage shown(PageContext{Store(), messages}, nullptr);
        shown.resize(960, 560);
        shown.AddFiles(
            {QString::fromStdString(P("Aria.mp3")), QString::fromStdString(P("Variation 1.wav"))});
        shown.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
        ExpectEveryControlNamed(&shown);
        ExpectWholeColumnNames(&shown);
        QString file = QString::fromStdString(ScreenshotFolder()) +
                       QStringLiteral("/page_joiner_%1.png")
                           .arg(language == Language::Chinese ? "zh_CN" : "en");
        EXPECT_TRUE(shown.grab().save(file)) << file.toStdString();
    }
}

}  // namespace
}  // namespace partita::gui::test
