#include <QSettings>
#include <nlohmann/json.hpp>

#include "cli_support.h"

namespace partita {
namespace {

using CliTest = test::TempDirTest;
using test::RunCli;

// The help lists the commands and the options every command shares.
TEST_F(CliTest, HelpListsCommandsAndSharedOptions) {
    auto r = RunCli({"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* word : {"info", "--settings", "--set", "--lang"}) {
        EXPECT_NE(r.output.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(RunCli({}).code, 64);
    EXPECT_EQ(RunCli({"nosuchcommand"}).code, 64);
}

// A settings file is used instead of the user's, and --set changes nothing stored.
TEST_F(CliTest, SettingsFileAndOverrides) {
    std::string ini = (dir / "s.ini").string();
    test::WriteFileText(ini, "[MP3 Splitter]\nSilence Level=250\n");
    auto r = RunCli({"info", "--settings", ini, "--set", "MP3 Splitter/Silence Level=100", "--set",
                     "Settings/Language=en", (dir / "missing.mp3").string()});
    EXPECT_EQ(r.code, 1);
    QSettings stored(QString::fromStdString(ini), QSettings::IniFormat);
    EXPECT_EQ(stored.value("MP3 Splitter/Silence Level").toInt(), 250);
    EXPECT_FALSE(stored.contains("Settings/Language"));
    EXPECT_EQ(RunCli({"info", "--settings", ini, "--set", "nonsense", ini}).code, 64);
    EXPECT_EQ(RunCli({"info", "--settings", ini, "--lang", "fr", ini}).code, 64);
}

// A file that cannot be read gives an error object and exit 1; the others are still reported.
TEST_F(CliTest, InfoReportsEveryFileAsJson) {
    std::string ini = (dir / "s.ini").string();
    test::WriteFileText(dir / "a.bin", "abc");
    auto r = RunCli({"--settings", ini, "info", "--json", (dir / "missing.mp3").string(),
                     (dir / "a.bin").string()});
    EXPECT_EQ(r.code, 1);
    auto json = nlohmann::json::parse(r.output.substr(r.output.find('[')));
    ASSERT_EQ(json.size(), 2u);
    EXPECT_TRUE(json[0].contains("error"));
    EXPECT_EQ(json[1]["fileLength"], 3);
}

}  // namespace
}  // namespace partita
