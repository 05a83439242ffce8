#include <QProcess>
#include <QSettings>
#include <QTest>

#include "app/string_table.h"
#include "gui_test_support.h"
#include "program_startup.h"
#include "splitter_page.h"
#include "startup_arguments.h"
#include "ui_text.h"

namespace partita::gui::test {
namespace {

using StartupTest = IniFileTest;

// The program's own options come out of the arguments wherever they stand; the rest is the
// action command line, joined with single spaces.
TEST_F(StartupTest, TakesItsOwnOptionsOutOfTheArguments) {
    StartupArguments parsed = ParseStartupArguments(
        {"--settings", "/tmp/a.ini", "-a", "SPLIT", "--set", "Settings/Split Mode=2", "-s",
         "/music/live set.mp3", "--lang=en", "--set=MP3 Splitter/Silence Level=250"});
    EXPECT_EQ(parsed.settingsFile, "/tmp/a.ini");
    EXPECT_EQ(parsed.overrides, (std::vector<std::string>{"Settings/Split Mode=2",
                                                          "MP3 Splitter/Silence Level=250"}));
    EXPECT_EQ(parsed.language, "en");
    EXPECT_EQ(parsed.commandLine, "-a SPLIT -s /music/live set.mp3");
    EXPECT_TRUE(parsed.error.empty());
    EXPECT_FALSE(parsed.help);

    EXPECT_FALSE(ParseStartupArguments({"--settings"}).error.empty());
    EXPECT_FALSE(ParseStartupArguments({"--lang", "fr"}).error.empty());
    EXPECT_TRUE(ParseStartupArguments({"--help"}).help);
    EXPECT_TRUE(ParseStartupArguments({"--version"}).version);
    // "--settingsX" is no option of ours.
    EXPECT_EQ(ParseStartupArguments({"--settingsX"}).commandLine, "--settingsX");
}

// A file alone, as a file manager passes it, opens in the pane that takes it: merge lists and the
// formats only the joiner reads in the joiner, everything else in the splitter.
TEST_F(StartupTest, AFileAloneOpensInThePaneThatTakesIt) {
    auto line = [](const QStringList& arguments) {
        return ParseStartupArguments(arguments).commandLine;
    };
    EXPECT_EQ(line({"/music/live set.MP3"}), "-a SPLIT -s /music/live set.MP3");
    EXPECT_EQ(line({"--lang", "en", "/music/a.cue"}), "-a SPLIT -s /music/a.cue");
    EXPECT_EQ(line({"/music/a.mpa"}), "-a SPLIT -s /music/a.mpa");
    EXPECT_EQ(line({"/music/list.M3U"}), "-a MERGE -s /music/list.M3U");
    EXPECT_EQ(line({"/music/list.m3u8"}), "-a MERGE -s /music/list.m3u8");
    EXPECT_EQ(line({"/music/list.pls"}), "-a MERGE -s /music/list.pls");
    EXPECT_EQ(line({"/music/a.ogg"}), "-a MERGE -s /music/a.ogg");
    // Two words are no file alone; an unknown option is no file.
    EXPECT_EQ(line({"a.mp3", "b.mp3"}), "a.mp3 b.mp3");
    EXPECT_EQ(line({"-x"}), "-x");
}

// Start reads the command line into the action and source the pages are given, opens the
// settings file of --settings and applies --set and --lang.
TEST_F(StartupTest, StartGathersTheCommandLineAndSettings) {
    RecordedMessages messages;
    ProgramStartup app({}, messages);
    std::optional<int> code =
        app.Start("/usr/bin/partita-studio", {"--settings", QString::fromStdString(IniPath()),
                                              "--set", "Settings/Initial Panel=2", "--lang", "en",
                                              "-a", "SPLIT", "-s", "/music/a b.mp3"});
    ASSERT_FALSE(code.has_value());
    EXPECT_EQ(app.CommandActionValue(), CommandAction::Split);
    EXPECT_EQ(app.CommandSource(), "/music/a b.mp3");
    EXPECT_EQ(CurrentLanguage(), Language::English);
    EXPECT_EQ(app.StartFolder(), QDir::currentPath());
    EXPECT_TRUE(messages.shown.empty());

    auto window = app.MakeWindow();
    EXPECT_EQ(window->CurrentPanel(), 0);
    // The splitter took the command line's source: a file that is not there loads nothing.
    auto* split = dynamic_cast<SplitterPage*>(window->PageAt(0));
    ASSERT_NE(split, nullptr);
    EXPECT_TRUE(split->List().Empty());
}

// The setting "Language" picks the language when --lang is not given.
TEST_F(StartupTest, LanguageSettingPicksTheLanguage) {
    partita::test::WriteFileText(dir / "settings.ini", "[Settings]\nLanguage=en\n");
    RecordedMessages messages;
    ProgramStartup app({}, messages);
    ASSERT_FALSE(app.Start("partita-studio", {"--settings", QString::fromStdString(IniPath())}));
    EXPECT_EQ(CurrentLanguage(), Language::English);

    ProgramStartup chinese({}, messages);
    ASSERT_FALSE(chinese.Start(
        "partita-studio", {"--settings", QString::fromStdString(IniPath()), "--lang", "zh_CN"}));
    EXPECT_EQ(CurrentLanguage(), Language::Chinese);
}

// An audio layer that fails to load ends the start with AudioModuleFailed as an error; a machine
// without an audio output runs with preview off.
TEST_F(StartupTest, AudioLayerFailureEndsAndMissingOutputOnlyTurnsPreviewOff) {
    RecordedMessages messages;
    AudioLayerHooks failing;
    failing.load = [] { return false; };
    ProgramStartup broken(failing, messages);
    std::optional<int> code =
        broken.Start("partita-studio", {"--settings", QString::fromStdString(IniPath())});
    ASSERT_TRUE(code.has_value());
    EXPECT_NE(*code, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, UserMessages::Icon::Error);
    EXPECT_EQ(messages.shown[0].second, MessageText(Msg::AudioModuleFailed));

    messages.shown.clear();
    AudioLayerHooks silent;
    silent.hasOutput = [] { return false; };
    ProgramStartup app(silent, messages);
    ASSERT_FALSE(app.Start("partita-studio", {"--settings", QString::fromStdString(IniPath())}));
    EXPECT_FALSE(app.PreviewAvailable());
    auto window = app.MakeWindow();
    EXPECT_TRUE(window->StatusBarText().contains(Text(UiText::NoAudioOutput)));
    EXPECT_TRUE(messages.shown.empty());
}

// A malformed --set or option ends the start before anything is shown.
TEST_F(StartupTest, BadOptionsEndTheStart) {
    RecordedMessages messages;
    ProgramStartup badSet({}, messages);
    EXPECT_EQ(badSet.Start("partita-studio", {"--settings", QString::fromStdString(IniPath()),
                                              "--set", "no equals sign"}),
              2);
    ProgramStartup badLanguage({}, messages);
    EXPECT_EQ(badLanguage.Start("partita-studio", {"--lang", "de"}), 2);
    EXPECT_TRUE(messages.shown.empty());
}

// The program itself starts on the offscreen platform and stays up until it is ended; its
// --help answers and ends.
TEST_F(StartupTest, ProgramStartsAndStaysUp) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    partita::test::WriteFileText(dir / "list.m3u", "#EXTM3U\r\n");
    program.start(PARTITA_STUDIO_PATH,
                  {"--settings", QString::fromStdString(IniPath()), "-a", "MERGE", "-s",
                   QString::fromStdString((dir / "list.m3u").string())});
    ASSERT_TRUE(program.waitForStarted(10000));
    // Once the window is up it has stored the pane the MERGE command line opened.
    auto storedPanel = [&] {
        return QSettings(QString::fromStdString(IniPath()), QSettings::IniFormat)
            .value("Settings/Initial Panel");
    };
    for (int waited = 0; storedPanel().toInt() != 1 && waited < 30000; waited += 100) {
        if (program.waitForFinished(100))
            break;
    }
    EXPECT_EQ(storedPanel().toInt(), 1);
    EXPECT_FALSE(program.waitForFinished(2000)) << program.readAll().toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));

    QProcess help;
    help.setProcessEnvironment(environment);
    help.start(PARTITA_STUDIO_PATH, {"--help", "--lang", "en"});
    ASSERT_TRUE(help.waitForFinished(20000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("Usage: partita-studio"));
}

}  // namespace
}  // namespace partita::gui::test
