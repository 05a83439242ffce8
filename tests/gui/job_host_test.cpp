#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "app/memory_settings_store.h"
#include "app/setting_values.h"
#include "event_loop_gap_meter.h"
#include "failure_box.h"
#include "gui_test_support.h"
#include "info_toggle_dialog.h"
#include "job_runner.h"
#include "main_window.h"
#include "merge_complete_dialog.h"
#include "overwrite_dialog.h"
#include "question_box.h"
#include "scripted_user.h"
#include "split_complete_dialog.h"
#include "split_stop_dialog.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

using namespace std::chrono_literals;
using User = ScriptedUser;

QKeySequence Alt(Qt::Key key) {
    return QKeySequence(Qt::ALT | key);
}

bool OnWindowThread() {
    return QThread::currentThread() == QApplication::instance()->thread();
}

class JobHostTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        window.resize(480, 320);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // Runs `job` on the runner's worker thread and waits until the page hears it finished.
    void RunJob(JobRunner& runner, std::function<void(JobHost&)> job) {
        QObject scope;
        bool finished = false;
        QObject::connect(&runner, &JobRunner::Finished, &scope, [&] { finished = true; });
        ASSERT_TRUE(runner.Start(std::move(job)));
        ASSERT_TRUE(WaitUntil([&] { return finished; }));
        EXPECT_FALSE(runner.IsRunning());
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    MemorySettingsStore settings;
    MessageBoxes boxes;
    PageContext context{settings, boxes};
    QWidget window;
};

// A job on a worker thread gets every question answered by keys and clicks in real dialogs on
// the window thread; the ticks write the settings the page named.
TEST_F(JobHostTest, WorkerJobsQuestionsAreAnsweredInDialogsOnTheWindowThread) {
    JobRunner runner(context, &window, SplitJobBoxes());
    const std::string existing = Path("live set 01.mp3");
    const QString other = QString::fromStdString(Path("live set 01 (kept).mp3"));
    partita::test::WriteFileText(existing, "ID3");

    User user;
    user.Then<QMessageBox>([](QMessageBox* box) {
            EXPECT_EQ(box->text(), MessageText(Msg::NamingRuleEmpty));
            User::Press(box, Qt::Key_Return);
        })
        .Then<QuestionBox>([](QuestionBox* box) {
            EXPECT_EQ(User::Button(box, "Yes")->text(), "是(&Y)");
            User::Press(box, Alt(Qt::Key_N));
        })
        .Then<QuestionBox>([](QuestionBox* box) {  // the merge's stop question: OK / Cancel
            EXPECT_EQ(box->text(), MessageText(Msg::ConfirmStopMerge));
            EXPECT_EQ(box->findChild<QAbstractButton*>("Yes"), nullptr);
            User::Press(box, Alt(Qt::Key_O));
        })
        .Then<InfoToggleDialog>([](InfoToggleDialog* box) {
            EXPECT_EQ(box->findChild<QAbstractButton*>("Cancel"), nullptr);
            User::Press(box, Alt(Qt::Key_D));
            User::Press(box, Qt::Key_Return);
        })
        .Then<InfoToggleDialog>([](InfoToggleDialog* box) { User::Press(box, Qt::Key_Escape); })
        .Then<OverwriteDialog>([](OverwriteDialog* dialog) {
            EXPECT_FALSE(dialog->findChild<QLineEdit*>("OtherPath")->isEnabled());
            User::Press(dialog, Alt(Qt::Key_O));
            User::Click(dialog, "BrowseOtherName");
        })
        .Then<QFileDialog>([&](QFileDialog* browser) {
            EXPECT_EQ(browser->windowTitle(), MessageText(Msg::MergeOutputTitle));
            User::AnswerFileDialog(browser, other);
        })
        .Then<OverwriteDialog>([&](OverwriteDialog* dialog) {
            EXPECT_EQ(dialog->findChild<QLineEdit*>("OtherPath")->text(), other);
            User::Press(dialog, Alt(Qt::Key_D));
            User::Press(dialog, Alt(Qt::Key_Y));
        })
        .Then<OverwriteDialog>([&](OverwriteDialog* dialog) {
            EXPECT_EQ(settings::SplitConfirmOverwrite.Read(settings), 0);
            User::Press(dialog, Alt(Qt::Key_A));
        })
        .Then<SplitStopDialog>([](SplitStopDialog* dialog) {
            EXPECT_TRUE(dialog->text().contains("live set 01.mp3"));
            User::Press(dialog, Alt(Qt::Key_A));
        })
        .Then<SplitStopDialog>([](SplitStopDialog* dialog) { User::Press(dialog, Qt::Key_Escape); })
        .Then<FailureBox>([](FailureBox* box) { User::Press(box, Alt(Qt::Key_R)); })
        .Then<FailureBox>([](FailureBox* box) { User::Press(box, Qt::Key_Escape); });

    struct Answers {
        std::thread::id thread;
        bool removeGroup = true, stopMerge = false, tips = false, tipsAgain = false;
        bool differentParameters = true;
        OverwriteReply otherName, toAll;
        StopAnswer stopAll = StopAnswer::Continue, goOn = StopAnswer::StopAll;
        FailureAnswer retry = FailureAnswer::Abort, abort = FailureAnswer::Retry;
    } a;
    RunJob(runner, [&](JobHost& host) {
        a.thread = std::this_thread::get_id();
        host.ShowMessage(MessageKind::Warning, Msg::NamingRuleEmpty);
        a.removeGroup = host.AskYesNo(Msg::ConfirmRemoveGroup);
        a.stopMerge = host.AskYesNo(Msg::ConfirmStopMerge);
        a.tips = host.ShowInfoWithToggle(Msg::SplitGroupTips, "Split Tips Dlg", false);
        a.tipsAgain = host.ShowInfoWithToggle(Msg::SplitGroupTips, "Split Tips Dlg", false);
        a.differentParameters =
            host.ShowInfoWithToggle(Msg::MergeParametersDiffer, "Merge Diff Params Dlg", true);
        a.otherName = host.AskOverwrite(existing);
        a.toAll = host.AskOverwrite(existing);
        a.stopAll = host.AskStop("live set 01.mp3");
        a.goOn = host.AskStop("live set 01.mp3");
        a.retry = host.AskFailure({Msg::CannotCreateTrack, existing});
        a.abort = host.AskFailure({Msg::CannotCreateTrack, existing});
    });
    EXPECT_EQ(user.Remaining(), 0u);
    EXPECT_NE(a.thread, std::this_thread::get_id());
    EXPECT_FALSE(a.removeGroup);
    EXPECT_TRUE(a.stopMerge);
    EXPECT_TRUE(a.tips);
    EXPECT_TRUE(a.tipsAgain) << "a box turned off answers OK without showing";
    EXPECT_FALSE(a.differentParameters);
    EXPECT_EQ(a.otherName.answer, OverwriteAnswer::OtherName);
    EXPECT_EQ(a.otherName.otherPath, other.toStdString());
    EXPECT_TRUE(a.otherName.dontAskAgain);
    EXPECT_EQ(a.toAll.answer, OverwriteAnswer::YesToAll);
    EXPECT_FALSE(a.toAll.dontAskAgain);
    EXPECT_EQ(a.stopAll, StopAnswer::StopAll);
    EXPECT_EQ(a.goOn, StopAnswer::Continue);
    EXPECT_EQ(a.retry, FailureAnswer::Retry);
    EXPECT_EQ(a.abort, FailureAnswer::Abort);
    EXPECT_EQ(settings::SplitTipsDialog.Read(settings), 0);
    EXPECT_FALSE(settings.Contains(settings::kDialogToggle, "Merge Diff Params Dlg"));
    EXPECT_EQ(settings::SplitConfirmOverwrite.Read(settings), 1);
}

// The folder picker and the save dialog take typed paths (the save dialog adds ".mp3"); the
// merge's finished box writes its two ticks; folders and files open on the window thread.
TEST_F(JobHostTest, FileChoosersAndTheMergeFinishedBox) {
    JobRunner runner(context, &window, MergeJobBoxes());
    std::vector<std::pair<QUrl, bool>> opened;
    runner.Host().SetUrlOpener([&](const QUrl& url) {
        opened.emplace_back(url, OnWindowThread());
        return true;
    });
    runner.Host().SetCompletionSummary([](const CompletionReport&) { return QString("3 / 3"); });
    const QString folder = QString::fromStdString(dir.Path().string());

    User user;
    user.Then<QFileDialog>([&](QFileDialog* picker) {
            EXPECT_EQ(picker->windowTitle(), MessageText(Msg::ChooseSplitOutputFolder));
            User::AnswerFileDialog(picker, folder);
        })
        .Then<QFileDialog>([](QFileDialog* save) {
            EXPECT_EQ(save->windowTitle(), MessageText(Msg::MergeOutputTitle));
            User::AnswerFileDialog(save, "joined");
        })
        .Then<QFileDialog>([](QFileDialog* save) { User::Press(save, Qt::Key_Escape); })
        .Then<MergeCompleteDialog>([](MergeCompleteDialog* dialog) {
            EXPECT_EQ(dialog->Summary(), "3 / 3");
            EXPECT_TRUE(dialog->findChild<QCheckBox*>("StartNew")->isChecked());
            User::Press(dialog, Alt(Qt::Key_D));
            User::Press(dialog, Alt(Qt::Key_P));
        });

    std::optional<std::string> chosenFolder, saved, cancelled = "x";
    CompletionReply reply;
    const std::string output = Path("joined.mp3");
    RunJob(runner, [&](JobHost& host) {
        chosenFolder = host.ChooseFolder(Msg::ChooseSplitOutputFolder, Path("missing"));
        saved = host.ChooseSaveFile(Msg::MergeOutputTitle, dir.Path().string(), "book");
        cancelled = host.ChooseSaveFile(Msg::MergeOutputTitle, dir.Path().string(), "book");
        CompletionReport report{{Msg::MergeDone, output}, output, false, true};
        reply = host.ShowCompletion(report);
        host.OpenFolder(dir.Path().string());
        host.PlayFile(output);
    });
    EXPECT_EQ(chosenFolder, folder.toStdString());
    EXPECT_EQ(saved, output);
    EXPECT_EQ(cancelled, std::nullopt);
    EXPECT_TRUE(reply.playResult);
    EXPECT_TRUE(reply.startNew);
    EXPECT_TRUE(reply.dontShowAgain);
    EXPECT_FALSE(reply.openFolder);
    EXPECT_EQ(settings::JoinShowSuccess.Read(settings), 0);
    EXPECT_EQ(settings::StartNewMerge.Read(settings), 1);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].first.toLocalFile(), folder);
    EXPECT_EQ(opened[1].first.toLocalFile().toStdString(), output);
    EXPECT_TRUE(opened[0].second && opened[1].second);
}

// Called on the window thread (a job run there, a list command) the host asks at once: the
// split's finished box with its preset open-folder tick and its new-split button.
TEST_F(JobHostTest, WindowThreadCallsAskAtOnce) {
    WindowJobHost host(context, &window, SplitJobBoxes());
    std::vector<quint64> progress;
    QObject::connect(&host, &WindowJobHost::ProgressChanged, &window,
                     [&](quint64 position, quint64) { progress.push_back(position); });
    host.SetProgress(3, 9);
    EXPECT_EQ(progress, std::vector<quint64>{3});

    User user;
    user.Then<SplitCompleteDialog>([](SplitCompleteDialog* dialog) {
        EXPECT_TRUE(dialog->Summary().isEmpty());
        EXPECT_TRUE(dialog->findChild<QCheckBox*>("OpenFolder")->isChecked());
        User::Press(dialog, Alt(Qt::Key_D));
        User::Press(dialog, Alt(Qt::Key_N));
    });
    CompletionReport report{{Msg::SplitDoneInFolder, Path("out")}, Path("out"), true, false};
    CompletionReply reply = host.ShowCompletion(report);
    EXPECT_TRUE(reply.startNew);
    EXPECT_TRUE(reply.openFolder);
    EXPECT_TRUE(reply.dontShowAgain);
    EXPECT_EQ(settings::SplitShowSuccess.Read(settings), 0);
    EXPECT_FALSE(settings.Contains(settings::kSettings, "Start New Split"));
}

// Progress and status of a fast job reach the window in the order set, thinned out but never
// missing the last value; what was set before a question shows while it is asked, and
// Finished comes after the last delivery.
TEST_F(JobHostTest, ProgressAndStatusArriveInOrderBeforeQuestionsAndTheEnd) {
    JobRunner runner(context, &window, SplitJobBoxes());
    std::vector<QString> events;
    QObject::connect(&runner.Host(), &WindowJobHost::ProgressChanged, &window,
                     [&](quint64 position, quint64 range) {
                         events.push_back(QString("p%1/%2").arg(position).arg(range));
                     });
    QObject::connect(&runner.Host(), &WindowJobHost::StatusChanged, &window,
                     [&](const QString& text) { events.push_back(text); });
    QObject::connect(&runner, &JobRunner::Finished, &window, [&] { events.push_back("finished"); });

    const int steps = 20000;
    User user;
    user.Then<QuestionBox>([&](QuestionBox* box) {
        ASSERT_GE(events.size(), 2u);
        EXPECT_EQ(events[events.size() - 2], QString("p%1/%1").arg(steps));
        EXPECT_EQ(events.back(), QString("track %1").arg(steps));
        User::Press(box, Qt::Key_Return);
    });
    RunJob(runner, [&](JobHost& host) {
        for (int i = 1; i <= steps; ++i) {
            host.SetProgress(static_cast<std::uint64_t>(i), steps);
            host.SetStatus("track " + std::to_string(i));
        }
        host.AskYesNo(Msg::ConfirmRemoveGroup);
        host.SetStatus("done");
        host.SetProgress(0, 0);
    });
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[events.size() - 3], "done");
    EXPECT_EQ(events[events.size() - 2], "p0/0");
    EXPECT_EQ(events.back(), "finished");
    int last = 0;
    for (const QString& event : events) {
        if (event.startsWith("track ")) {
            int n = event.mid(6).toInt();
            EXPECT_GT(n, last) << "status out of order";
            last = n;
        }
    }
    EXPECT_LT(events.size(), static_cast<std::size_t>(2 * steps));
    std::printf("%zu of %d progress and status values delivered\n", events.size(), 2 * steps + 2);
}

// Stop raises the request that the job takes (once); the runner is busy until the job ends,
// refuses a second job meanwhile, and the next job starts without an old request.
TEST_F(JobHostTest, StopRaisesTheRequestTheJobTakes) {
    JobRunner runner(context, &window, SplitJobBoxes());
    int started = 0;
    QObject::connect(&runner, &JobRunner::Started, &window, [&] { ++started; });
    std::atomic<bool> running{false};
    std::atomic<int> takenAfterStop{-1};
    bool finished = false;
    QObject::connect(&runner, &JobRunner::Finished, &window, [&] { finished = true; });
    ASSERT_TRUE(runner.Start([&](JobHost& host) {
        running = true;
        auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!host.TakeStopRequest() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        takenAfterStop = host.TakeStopRequest() ? 1 : 0;
    }));
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(runner.IsRunning());
    EXPECT_FALSE(runner.Start([](JobHost&) {}));
    ASSERT_TRUE(WaitUntil([&] { return running.load(); }));
    runner.RequestStop();
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
    EXPECT_EQ(takenAfterStop, 0) << "the request is taken once";
    EXPECT_FALSE(runner.IsRunning());

    runner.RequestStop();  // after the job: forgotten at the next start
    bool stoppedAtStart = true;
    RunJob(runner, [&](JobHost& host) { stoppedAtStart = host.TakeStopRequest(); });
    EXPECT_FALSE(stoppedAtStart);
    EXPECT_EQ(started, 2);
}

// A page that runs its jobs on a runner.
class JobPage : public Page {
  public:
    JobPage(const PageContext& context, QWidget* parent)
        : Page(parent), runner(context, this, SplitJobBoxes()) {}
    bool IsBusy() const override { return runner.IsRunning(); }
    JobRunner runner;
};

// The window refuses to close while a page's job runs, also while the job's question is open
// (the refusal shows over the question), and closes once the job is over.
TEST_F(JobHostTest, WindowRefusesToCloseWhileAJobRunsAndAsks) {
    JobPage* page = nullptr;
    MainWindowOptions options;
    options.desktop = QRect(0, 0, 1920, 1080);
    options.splitPage = [&](const PageContext& pageContext, QWidget* parent) {
        page = new JobPage(pageContext, parent);
        return page;
    };
    MainWindow mainWindow(settings, boxes, std::move(options));
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));

    bool closed = true;
    User user;
    user.Then<QuestionBox>([&](QuestionBox*) {
            QTimer::singleShot(0, &mainWindow, [&] { closed = mainWindow.close(); });
        })
        .Then<QMessageBox>([](QMessageBox* refusal) {
            EXPECT_EQ(refusal->text(), MessageText(Msg::JobRunningOnExit));
            User::Press(refusal, Qt::Key_Return);
        })
        .Then<QuestionBox>([](QuestionBox* question) { User::Press(question, Alt(Qt::Key_N)); });
    bool finished = false;
    QObject::connect(&page->runner, &JobRunner::Finished, &window, [&] { finished = true; });
    ASSERT_TRUE(page->runner.Start([](JobHost& host) { host.AskYesNo(Msg::ConfirmRemoveGroup); }));
    EXPECT_TRUE(page->IsBusy());
    ASSERT_TRUE(WaitUntil([&] { return finished; }));
    EXPECT_FALSE(closed);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_TRUE(mainWindow.close());
}

// The program ends (the window no longer turns) while a job waits on a question: the runner's
// end answers it and every later one with the quickest way out, raises the stop request and
// waits for the job without hanging; the question never shows afterwards.
TEST_F(JobHostTest, EndingTheRunnerReleasesAJobWaitingOnTheWindow) {
    auto runner = std::make_unique<JobRunner>(context, &window, SplitJobBoxes());
    std::atomic<bool> asking{false};
    OverwriteReply overwrite{OverwriteAnswer::Yes, {}, false};
    StopAnswer stop = StopAnswer::Continue;
    std::optional<std::string> folder = "x";
    bool stopTaken = false;
    ASSERT_TRUE(runner->Start([&](JobHost& host) {
        asking = true;
        overwrite = host.AskOverwrite(Path("a.mp3"));
        stop = host.AskStop("a.mp3");
        folder = host.ChooseFolder(Msg::ChooseSplitOutputFolder, "");
        stopTaken = host.TakeStopRequest();
    }));
    while (!asking)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);
    auto started = std::chrono::steady_clock::now();
    runner.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(overwrite.answer, OverwriteAnswer::Skip);
    EXPECT_EQ(stop, StopAnswer::StopAll);
    EXPECT_EQ(folder, std::nullopt);
    EXPECT_TRUE(stopTaken);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A page that goes away while its job's question is open takes the question along; the job gets
// the quickest way out and nothing of the page is touched after it is gone.
TEST_F(JobHostTest, APageGoneWhileItsQuestionIsOpenReleasesTheJob) {
    auto* page = new QWidget(&window);
    auto* runner = new JobRunner(context, page, SplitJobBoxes(), page);
    OverwriteReply overwrite{OverwriteAnswer::Yes, {}, false};
    StopAnswer stop = StopAnswer::Continue;
    User user;
    user.Then<OverwriteDialog>([&](OverwriteDialog*) { delete page; });
    ASSERT_TRUE(runner->Start([&](JobHost& host) {
        overwrite = host.AskOverwrite(Path("a.mp3"));
        stop = host.AskStop("a.mp3");
    }));
    ASSERT_TRUE(
        WaitUntil([&] { return user.Remaining() == 0 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(overwrite.answer, OverwriteAnswer::Skip);
    EXPECT_EQ(stop, StopAnswer::StopAll);
}

// The window keeps turning while a worker job floods it with progress for a second.
TEST_F(JobHostTest, WindowStaysLiveWhileAWorkerJobRuns) {
    JobRunner runner(context, &window, SplitJobBoxes());
    QLabel status(&window);
    QObject::connect(&runner.Host(), &WindowJobHost::StatusChanged, &status, &QLabel::setText);
    EventLoopGapMeter meter;
    RunJob(runner, [](JobHost& host) {
        auto end = std::chrono::steady_clock::now() + 1s;
        for (std::uint64_t i = 0; std::chrono::steady_clock::now() < end; ++i) {
            host.SetProgress(i, i + 1);
            host.SetStatus("block " + std::to_string(i));
        }
    });
    std::printf("longest gap between event-loop turns: %lld ms over %d turns\n",
                static_cast<long long>(meter.LongestGap().count()), meter.Turns());
    EXPECT_LT(meter.LongestGap(), 500ms);
    EXPECT_TRUE(status.text().startsWith("block "));
}

}  // namespace
}  // namespace partita::gui::test
