#include "qt_settings_store.h"

#include "app/setting_values.h"
#include "support/test_support.h"

namespace partita {
namespace {

using QtSettingsStoreTest = test::TempDirTest;

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

}  // namespace
}  // namespace partita
