#include "qt_settings_store.h"

#include "app/setting_values.h"
#include "support/test_support.h"

namespace partita {
namespace {

using QtSettingsStoreTest = test::TempDirTest;
namespace fs = std::filesystem;

// Values round-trip through an INI file under the table's exact section and value names.
TEST_F(QtSettingsStoreTest, RoundTripsThroughIniWithExactNames) {
    QString path = QString::fromStdString((dir / "settings.ini").string());
    {
        auto store = QtSettingsStore::FromIniFile(path);
        settings::SilenceLevel.Write(*store, 250);
        settings::SplitNamingRule.Write(*store, "%F 曲目");
        EXPECT_EQ(settings::SplitMode.Read(*store), 0);  // written back
        ASSERT_TRUE(store->Sync());
    }
    {
        QSettings raw(path, QSettings::IniFormat);
        EXPECT_EQ(raw.value("MP3 Splitter/Silence Level").toInt(), 250);
        EXPECT_EQ(raw.value("Settings/Split Mode").toInt(), 0);
        EXPECT_TRUE(raw.childGroups().contains("MP3 Splitter"));
    }
    auto store = QtSettingsStore::FromIniFile(path);
    EXPECT_EQ(settings::SilenceLevel.Read(*store), 250);
    EXPECT_EQ(settings::SplitNamingRule.Read(*store), "%F 曲目");
    settings::SplitNamingRule.Write(*store, std::nullopt);
    EXPECT_FALSE(store->Contains("Settings", "Naming rule of Splitter"));
}

// A hand-written INI file with plain names is read as the table spells them.
TEST_F(QtSettingsStoreTest, ReadsHandWrittenIni) {
    test::WriteFileText(dir / "hand.ini",
                        "[MP3 Splitter]\nSilence Length=900\n\n[Settings]\nLanguage=en\n"
                        "Split Mode=abc\n");
    auto store = QtSettingsStore::FromIniFile(QString::fromStdString((dir / "hand.ini").string()));
    EXPECT_EQ(settings::SilenceLength.Read(*store), 900);
    EXPECT_EQ(settings::Language.Read(*store), "en");
    EXPECT_EQ(store->ReadInt("Settings", "Split Mode", 2), 2);  // not a number: the default
}

// A hand-written INI file is read as written: a comma is part of the value and a "\" is a "\"
// (QSettings alone would make a list of the one and an escape of the other), also after the
// program has written into the file. Values QSettings wrote (quoted, escaped) read as they were.
TEST_F(QtSettingsStoreTest, ValuesReadAsWritten) {
    const std::pair<std::string, std::string> values[] = {
        {"Title", "Hello, World"}, {"Comment", "Rock; Pop"}, {"Album", "%G\\%F-%S"},
        {"Artist", "C:\\Music\\"}, {"Year", "say \"hi\""},   {"Track", "曲目, 1"}};
    const fs::path hand = dir / "hand.ini";
    std::string text = "[Joiner MP3 ID3]\n";
    for (const auto& [name, value] : values)
        text += name + "=" + value + "\n";
    test::WriteFileText(hand, text + "GenreS=\"%G\\%F\"\n");
    const fs::path written = dir / "written.ini";
    {
        QSettings raw(QString::fromStdString(written.string()), QSettings::IniFormat);
        for (const auto& [name, value] : values)
            raw.setValue(QString::fromStdString("Joiner MP3 ID3/" + name),
                         QString::fromStdString(value));
    }
    for (const fs::path& path : {hand, written}) {
        for (bool rewritten : {false, true}) {
            auto store = QtSettingsStore::FromIniFile(QString::fromStdString(path.string()));
            for (const auto& [name, value] : values)
                EXPECT_EQ(store->ReadString("Joiner MP3 ID3", name), value) << path << rewritten;
            if (path == hand) {
                EXPECT_EQ(store->ReadString("Joiner MP3 ID3", "GenreS"), "%G\\%F");
            }
            settings::SilenceLevel.Write(*store, 250);
            ASSERT_TRUE(store->Sync());
        }
    }
    // What the program wrote back reads right in QSettings too.
    QSettings raw(QString::fromStdString(hand.string()), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Joiner MP3 ID3/Title").toString(), "Hello, World");
}

}  // namespace
}  // namespace partita
