#include <QAbstractButton>
#include <QSettings>
#include <QTest>

#include "app/setting_values.h"
#include "gui_test_support.h"
#include "help_manual.h"
#include "joiner_page.h"
#include "main_window.h"
#include "settings_about_page.h"
#include "splitter_page.h"
#include "ui_text.h"
#include "window_placement.h"

namespace partita::gui::test {
namespace {

class MainWindowTest : public IniFileTest {
  protected:
    void SetUp() override {
        IniFileTest::SetUp();
        settings = OpenSettings();
    }

    // A window whose working pages record their hooks.
    std::unique_ptr<MainWindow> MakeWindow(MainWindowOptions options = {}) {
        options.splitPage = [this](const PageContext&, QWidget* parent) {
            splitter = new RecordingPage(CommandAction::Split, parent);
            return splitter;
        };
        options.joinerPage = [this](const PageContext&, QWidget* parent) {
            joiner = new RecordingPage(CommandAction::Merge, parent);
            return joiner;
        };
        if (options.desktop.isEmpty())
            options.desktop = QRect(0, 0, 1920, 1080);
        return std::make_unique<MainWindow>(settings->Store(), messages, std::move(options));
    }

    // What the INI file holds after the settings are written out.
    QVariant Stored(const QString& key) {
        settings->Backing().Sync();
        return QSettings(QString::fromStdString(IniPath()), QSettings::IniFormat).value(key);
    }

    std::unique_ptr<ProgramSettings> settings;
    RecordedMessages messages;
    RecordingPage* splitter = nullptr;
    RecordingPage* joiner = nullptr;
};

// The pane buttons show their pane, and each switch is stored as "Initial Panel" for the next
// start; a stored number out of range opens the splitter.
TEST_F(MainWindowTest, PaneButtonsSwitchAndStoreTheInitialPanel) {
    {
        auto window = MakeWindow();
        window->show();
        EXPECT_EQ(window->CurrentPanel(), 0);
        for (int panel : {1, 2, 0, 2}) {
            window->findChild<QAbstractButton*>(QStringLiteral("PanelButton%1").arg(panel))
                ->click();
            EXPECT_EQ(window->CurrentPanel(), panel);
            EXPECT_TRUE(window->PageAt(panel)->isVisible());
            EXPECT_EQ(settings::InitialPanel.Read(settings->Store()), panel);
        }
        EXPECT_FALSE(window->PageAt(0)->isVisible());
        EXPECT_FALSE(window->PageAt(1)->isVisible());
    }
    EXPECT_EQ(Stored("Settings/Initial Panel").toInt(), 2);
    EXPECT_EQ(MakeWindow()->CurrentPanel(), 2);

    settings::InitialPanel.Write(settings->Store(), 7);
    auto window = MakeWindow();
    EXPECT_EQ(window->CurrentPanel(), 0);
    EXPECT_EQ(settings::InitialPanel.Read(settings->Store()), 0);
    window->ShowPanel(-1);
    EXPECT_EQ(window->CurrentPanel(), 0);
}

// F9 pressed in a pane steps splitter → settings/about → joiner → splitter.
TEST_F(MainWindowTest, F9StepsThroughThePanesInItsOrder) {
    auto window = MakeWindow();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    std::vector<int> seen{window->CurrentPanel()};
    for (int i = 0; i < 3; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, Qt::Key_F9);
        seen.push_back(window->CurrentPanel());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 1, 0}));
    EXPECT_EQ(settings::InitialPanel.Read(settings->Store()), 0);
}

// A stored placement is restored; a left or top outside the desktop is pulled back to its edge
// on that axis only, width and height as stored.
TEST_F(MainWindowTest, RestoresAndClampsThePlacement) {
    const QRect desktop(0, 0, 1920, 1080);
    EXPECT_EQ(RestoredGeometry({100, 50, 640, 480}, desktop), QRect(100, 50, 640, 480));
    EXPECT_EQ(RestoredGeometry({-30, 50, 640, 480}, desktop), QRect(0, 50, 640, 480));
    EXPECT_EQ(RestoredGeometry({100, 1080, 640, 480}, desktop), QRect(100, 0, 640, 480));
    EXPECT_EQ(RestoredGeometry({5000, -1, 3000, 2000}, desktop), QRect(0, 0, 3000, 2000));
    EXPECT_EQ(RestoredGeometry({1919, 1079, 640, 480}, desktop), QRect(1919, 1079, 640, 480));
    // Any of the four missing keeps the window's own placement.
    EXPECT_EQ(RestoredGeometry({-999, 50, 640, 480}, desktop), std::nullopt);
    EXPECT_EQ(RestoredGeometry({100, 50, 640, -999}, desktop), std::nullopt);
    // A desktop of several screens that starts left of the primary one.
    EXPECT_EQ(RestoredGeometry({-1500, 20, 640, 480}, QRect(-1920, 0, 3840, 1080)),
              QRect(-1500, 20, 640, 480));

    StorePlacement(settings->Store(), {2500, 120, 700, 500});
    auto window = MakeWindow();
    EXPECT_EQ(window->pos(), QPoint(0, 120));
    EXPECT_EQ(window->size(), QSize(700, 500));
}

// Closing stores where the window is and lets the pages store their layouts; the next window
// opens at the same place.
TEST_F(MainWindowTest, ClosingStoresThePlacement) {
    {
        auto window = MakeWindow();
        window->show();
        window->move(140, 90);
        window->resize(720, 540);
        ASSERT_TRUE(window->close());
        EXPECT_EQ(splitter->saveStateCalls, 1);
        EXPECT_EQ(joiner->saveStateCalls, 1);
    }
    EXPECT_EQ(Stored("Settings/Initial Pos X").toInt(), 140);
    EXPECT_EQ(Stored("Settings/Initial Pos Y").toInt(), 90);
    EXPECT_EQ(Stored("Settings/Initial Width").toInt(), 720);
    EXPECT_EQ(Stored("Settings/Initial Height").toInt(), 540);
    auto window = MakeWindow();
    EXPECT_EQ(window->geometry().size(), QSize(720, 540));
    EXPECT_EQ(window->pos(), QPoint(140, 90));
}

// While a page runs a job the window stays open with JobRunningOnExit and stores nothing; once the
// job is over it closes.
TEST_F(MainWindowTest, ClosingIsRefusedWhileAPageIsBusy) {
    auto window = MakeWindow();
    window->show();
    for (RecordingPage* busy : {splitter, joiner}) {
        busy->busy = true;
        messages.shown.clear();
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->isVisible());
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].second, MessageText(Msg::JobRunningOnExit));
        EXPECT_EQ(busy->saveStateCalls, 0);
        EXPECT_FALSE(settings->Store().Contains("Settings", "Initial Pos X"));
        busy->busy = false;
    }
    EXPECT_TRUE(window->close());
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(settings->Store().Contains("Settings", "Initial Pos X"));
}

// A first start with an empty settings file opens the splitter at the window's own size and
// stores the values that are written back at their first read.
TEST_F(MainWindowTest, EmptySettingsGiveTheDefaultsAndStoreTheWrittenBackValues) {
    {
        MainWindowOptions options;
        options.desktop = QRect(0, 0, 1920, 1080);
        MainWindow window(settings->Store(), messages, std::move(options));
        window.show();
        EXPECT_EQ(window.CurrentPanel(), 0);
        EXPECT_EQ(window.size(), QSize(900, 620));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_TRUE(window.close());
    }
    const std::pair<const char*, QVariant> expected[] = {
        {"Settings/Initial Panel", 0},
        {"Settings/Split Mode", 0},
        {"MP3 Splitter/Same Folder as Original", 0},
        {"Settings/Time Step Size", 100},
        {"Settings/Time Page Size", 1000},
        {"Settings/Split Source Folder Mode", 1},
        {"Settings/Splitting Source Folder", QString()},
        {"Settings/Merge Source Folder Mode", 1},
        {"Settings/Merging Source Folder", QString()},
        {"Settings/Initial Width", 900},
        {"Settings/Initial Height", 620},
    };
    for (const auto& [key, value] : expected) {
        QVariant stored = Stored(key);
        EXPECT_TRUE(stored.isValid()) << key;
        EXPECT_EQ(stored.toString(), value.toString()) << key;
    }
    // Values without a write-back stay missing.
    EXPECT_FALSE(Stored("Settings/Splitter Confirm Overwrite").isValid());
    EXPECT_FALSE(Stored("MP3 Splitter/Write VBR Header").isValid());
}

// The command line reaches the pages' hooks: SPLIT with a path opens the splitter even when
// another pane was stored, MERGE opens the joiner; a lower-case action or "-s " before "-a "
// leaves the stored pane.
TEST_F(MainWindowTest, CommandLineReachesThePagesAndPicksThePane) {
    struct Case {
        const char* commandLine;
        int storedPanel;
        int expectedPanel;
        const char* splitterSource;
        const char* joinerSource;
    };
    const Case cases[] = {
        {"-a SPLIT -s /music/live set.cue", 2, 0, "/music/live set.cue", nullptr},
        {"-o x -a MERGE -s /music/chapter 1.mp3", 0, 1, nullptr, "/music/chapter 1.mp3"},
        {"-a split -s /music/a.mp3", 2, 2, nullptr, nullptr},
        {"-s /music/a.mp3 -a SPLIT", 1, 1, nullptr, nullptr},
        {"", 1, 1, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        settings::InitialPanel.Write(settings->Store(), c.storedPanel);
        MainWindowOptions options;
        options.command = ParseActionCommandLine(c.commandLine);
        auto window = MakeWindow(std::move(options));
        EXPECT_EQ(window->CurrentPanel(), c.expectedPanel) << c.commandLine;
        for (auto [page, source] :
             {std::pair{splitter, c.splitterSource}, std::pair{joiner, c.joinerSource}}) {
            ASSERT_EQ(page->commands.size(), 1u) << "each page hears the command once";
            if (source) {
                EXPECT_EQ(page->commands[0].second, source) << c.commandLine;
            }
        }
        EXPECT_EQ(settings::InitialPanel.Read(settings->Store()), c.expectedPanel);
    }
}

// The working pages take the source of their own action only: the joiner loads the list named
// (here one that cannot be opened, which it says).
TEST_F(MainWindowTest, WorkingPagesTakeTheirOwnActionsSource) {
    MainWindowOptions options;
    options.command = ParseActionCommandLine("-a MERGE -s /music/book.m3u");
    MainWindow window(settings->Store(), messages, std::move(options));
    auto* split = dynamic_cast<SplitterPage*>(window.PageAt(0));
    ASSERT_TRUE(split && dynamic_cast<JoinerPage*>(window.PageAt(1)));
    EXPECT_TRUE(split->List().Empty());
    EXPECT_EQ(window.CurrentPanel(), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    // The message, then the reason the system gave.
    EXPECT_TRUE(messages.shown[0].second.startsWith(
        MessageText(Msg::CannotOpenListFile, "/music/book.m3u")));
}

// The status bar shows the visible page's text; without an audio output it also says that
// preview is off, and every page hears so.
TEST_F(MainWindowTest, StatusBarFollowsThePageAndNotesMissingAudioOutput) {
    MainWindowOptions options;
    options.previewAvailable = false;
    auto window = MakeWindow(std::move(options));
    EXPECT_FALSE(splitter->previewAvailable);
    EXPECT_FALSE(joiner->previewAvailable);
    EXPECT_EQ(window->StatusBarText(), Text(UiText::NoAudioOutput));
    splitter->Status("3 tracks");
    EXPECT_TRUE(window->StatusBarText().startsWith("3 tracks"));
    EXPECT_TRUE(window->StatusBarText().contains(Text(UiText::NoAudioOutput)));
    joiner->Status("5 files");
    EXPECT_FALSE(window->StatusBarText().contains("5 files"));
    window->ShowPanel(1);
    EXPECT_TRUE(window->StatusBarText().startsWith("5 files"));

    auto withOutput = MakeWindow();
    EXPECT_TRUE(splitter->previewAvailable);
    EXPECT_EQ(withOutput->StatusBarText(), QString());
}

// F1 opens the bundled manual of the current language in the browser, at the page of the pane in
// front; without the manual the user is told where it was expected.
TEST_F(MainWindowTest, F1OpensTheBundledManual) {
    std::vector<QUrl> opened;
    MainWindowOptions options;
    options.helpFilePath = FindManual({}, PARTITA_STUDIO_DIR, Language::Chinese);
    options.openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    auto window = MakeWindow(options);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const char* pages[] = {"manual/zh_CN/splitter.html", "manual/zh_CN/joiner.html",
                           "manual/zh_CN/index.html"};
    for (int panel = 0; panel < 3; ++panel) {
        window->ShowPanel(panel);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        ASSERT_EQ(opened.size(), static_cast<std::size_t>(panel + 1));
        EXPECT_TRUE(opened.back().isLocalFile());
        EXPECT_TRUE(opened.back().toLocalFile().endsWith(pages[panel]))
            << opened.back().toString().toStdString();
        EXPECT_TRUE(QFileInfo(opened.back().toLocalFile()).isFile());
    }
    EXPECT_EQ(opened.back().fragment(), "settings");
    EXPECT_TRUE(messages.shown.empty());

    options.helpFilePath = QString::fromStdString((dir / "none/index.html").string());
    auto missing = MakeWindow(options);
    missing->ShowHelp();
    EXPECT_EQ(opened.size(), 3u);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].second.contains("none/index.html"));
}

// The manual is found under the install folder first, then beside the program or in the
// shared data folder of an installation, in the other language when one is missing.
TEST_F(MainWindowTest, FindsTheManualInTheBuildAndInstallLayouts) {
    auto make = [&](const std::string& page) {
        std::filesystem::create_directories((dir / page).parent_path());
        partita::test::WriteFileText(dir / page, "<html></html>");
        return QString::fromStdString((dir / page).string());
    };
    QString bin = QString::fromStdString((dir / "bin").string());
    std::filesystem::create_directories(dir / "bin");
    QString installed = make("share/partita-studio/manual/en/index.html");
    EXPECT_EQ(FindManual({}, bin, Language::English), installed);
    EXPECT_EQ(FindManual({}, bin, Language::Chinese), installed);
    QString beside = make("bin/manual/zh_CN/index.html");
    EXPECT_EQ(FindManual({}, bin, Language::Chinese), beside);
    QString install = make("opt/manual/en/index.html");
    EXPECT_EQ(FindManual(QString::fromStdString((dir / "opt").string()), bin, Language::English),
              install);
    EXPECT_TRUE(FindManual({}, QString::fromStdString((dir / "empty").string()), Language::English)
                    .endsWith("empty/manual/en/index.html"));
}

// The title names the program and its version.
TEST_F(MainWindowTest, TitleNamesProgramAndVersion) {
    auto window = MakeWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Partita Studio v" PARTITA_TEST_VERSION));
}

// A picture of each pane and of the options dialog in both languages, for a look at the layout and
// the Chinese text.
TEST_F(MainWindowTest, SavesAScreenshotOfEachPane) {
    for (Language language : {Language::Chinese, Language::English}) {
        SetCurrentLanguage(language);
        MainWindowOptions options;
        options.desktop = QRect(0, 0, 1920, 1080);
        options.previewAvailable = false;
        MainWindow window(settings->Store(), messages, std::move(options));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const char* names[] = {"splitter", "joiner", "settings"};
        for (int panel = 0; panel < 3; ++panel) {
            window.ShowPanel(panel);
            QApplication::processEvents();
            QPixmap picture = window.grab();
            ASSERT_FALSE(picture.isNull());
            QString file = QString::fromStdString(ScreenshotFolder()) +
                           QStringLiteral("/pane_%1_%2.png")
                               .arg(names[panel], language == Language::Chinese ? "zh_CN" : "en");
            EXPECT_TRUE(picture.save(file)) << file.toStdString();
        }
        OptionsDialog dialog(settings->Store(), &window);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_TRUE(dialog.grab().save(QString::fromStdString(ScreenshotFolder()) +
                                       QStringLiteral("/options_dialog_%1.png")
                                           .arg(language == Language::Chinese ? "zh_CN" : "en")));
    }
}

}  // namespace
}  // namespace partita::gui::test
