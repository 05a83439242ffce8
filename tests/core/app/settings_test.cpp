#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/override_settings_store.h"
#include "app/setting_values.h"
#include "app/string_table.h"

namespace partita {
namespace {

// Missing values read as the call's default; a null string deletes.
TEST(MemorySettings, DefaultsAndDeletion) {
    MemorySettingsStore store;
    EXPECT_EQ(store.ReadInt("Settings", "Split Mode", 7), 7);
    EXPECT_EQ(store.ReadString("Settings", "Install Path"), "");
    store.WriteString("Settings", "Install Path", "/opt/partita");
    EXPECT_EQ(store.ReadString("Settings", "Install Path", "x"), "/opt/partita");
    store.WriteString("Settings", "Install Path", std::nullopt);
    EXPECT_FALSE(store.Contains("Settings", "Install Path"));
    store.WriteString("Settings", "Split Mode", "abc");
    EXPECT_EQ(store.ReadInt("Settings", "Split Mode", 3), 3);  // not a number: the default
    store.WriteInt("Settings", "Split Mode", -2);
    EXPECT_EQ(store.ReadInt("Settings", "Split Mode", 3), -2);
}

// Values marked "written back" are stored at their first read, others never.
TEST(SettingValues, WriteBackAtFirstRead) {
    MemorySettingsStore store;
    EXPECT_EQ(settings::InitialPanel.Read(store), 0);
    EXPECT_EQ(settings::SplitMode.Read(store), 0);
    EXPECT_EQ(settings::SameFolderAsOriginal.Read(store), 0);
    EXPECT_EQ(settings::TimeStepSize.Read(store), 100);
    EXPECT_EQ(settings::TimePageSize.Read(store), 1000);
    EXPECT_EQ(settings::SplitSourceFolderMode.Read(store), 1);
    EXPECT_EQ(settings::MergeSourceFolderMode.Read(store), 1);
    EXPECT_EQ(settings::SplitConfirmOverwrite.Read(store), 1);
    EXPECT_EQ(settings::InitialPosX.Read(store), -999);
    EXPECT_EQ(store.ReadInt("Settings", "Initial Panel", -1), 0);
    EXPECT_EQ(store.ReadInt("Settings", "Split Mode", -1), 0);
    EXPECT_EQ(store.ReadInt("MP3 Splitter", "Same Folder as Original", -1), 0);
    EXPECT_EQ(store.ReadInt("Settings", "Time Step Size", -1), 100);
    EXPECT_EQ(store.ReadInt("Settings", "Time Page Size", -1), 1000);
    EXPECT_FALSE(store.Contains("Settings", "Splitter Confirm Overwrite"));
    EXPECT_FALSE(store.Contains("Settings", "Initial Pos X"));
    // A stored value is read, not replaced.
    settings::SplitMode.Write(store, 2);
    EXPECT_EQ(settings::SplitMode.Read(store), 2);
}

// The joiner's sort column is stored together with its direction when missing.
TEST(SettingValues, JoinerSortingWrittenTogether) {
    MemorySettingsStore store;
    settings::JoinSortingDir.Write(store, 0);
    auto sorting = settings::ReadJoinerSorting(store);
    EXPECT_EQ(sorting.column, 0);
    EXPECT_EQ(sorting.direction, 1);
    EXPECT_EQ(store.ReadInt("Settings", "Sorting Dir", -1), 1);
    settings::JoinSortingColumn.Write(store, 5);
    settings::JoinSortingDir.Write(store, 0);
    sorting = settings::ReadJoinerSorting(store);
    EXPECT_EQ(sorting.column, 5);
    EXPECT_EQ(sorting.direction, 0);
}

// The special split falls back to different defaults in its dialog and at load.
TEST(SettingValues, SpecialSplitDefaultsDependOnTheReader) {
    MemorySettingsStore store;
    EXPECT_EQ(settings::AddSpecialTypeInDialog.Read(store), 0);
    EXPECT_EQ(settings::AddSpecialTypeAtLoad.Read(store), 1);
    EXPECT_EQ(settings::AddSpecialBySectionInDialog.Read(store), 2);
    EXPECT_EQ(settings::AddSpecialBySectionAtLoad.Read(store), 1);
    settings::AddSpecialTypeInDialog.Write(store, 0);
    EXPECT_EQ(settings::AddSpecialTypeAtLoad.Read(store), 0);
}

// Text defaults can come from the string table, and "Legacy Code Page" has its own.
TEST(SettingValues, TextDefaults) {
    MemorySettingsStore store;
    SetCurrentLanguage(Language::Chinese);
    EXPECT_EQ(settings::SplitNamingRule.Read(store), "%G\\%F-%S");
    EXPECT_EQ(settings::SplitterColumnList.Read(store).rfind("要分割的音轨, 220;", 0), 0u);
    EXPECT_EQ(settings::LegacyCodePage.Read(store), "ISO-8859-1");
    EXPECT_EQ(settings::SaveCueTargetFolder.Read(store, "/out"), "/out");
    settings::SplitNamingRule.Write(store, "%F");
    EXPECT_EQ(settings::SplitNamingRule.Read(store), "%F");
    settings::SplitNamingRule.Write(store, std::nullopt);
    EXPECT_EQ(settings::SplitNamingRule.Read(store), "%G\\%F-%S");
}

// Overrides answer first, last for the run only and never reach the base store.
TEST(OverrideSettings, OverridesNeverReachTheBase) {
    MemorySettingsStore base;
    base.WriteInt("Settings", "Split Mode", 1);
    OverrideSettingsStore store(base);
    EXPECT_TRUE(store.AddOverride("Settings/Split Mode=2"));
    EXPECT_TRUE(store.AddOverride("MP3 Splitter/Silence Level=200"));
    EXPECT_TRUE(store.AddOverride("Settings/Install Path=/a=b"));
    EXPECT_FALSE(store.AddOverride("Split Mode=2"));
    EXPECT_FALSE(store.AddOverride("Settings/Split Mode"));
    EXPECT_FALSE(store.AddOverride("/Split Mode=2"));
    EXPECT_FALSE(store.AddOverride("Settings/=2"));
    EXPECT_EQ(store.ReadInt("Settings", "Split Mode", 0), 2);
    EXPECT_EQ(settings::SilenceLevel.Read(store), 200);
    EXPECT_EQ(settings::InstallPath.Read(store), "/a=b");
    store.WriteInt("Settings", "Split Mode", 0);
    EXPECT_EQ(store.ReadInt("Settings", "Split Mode", 5), 0);
    EXPECT_EQ(base.ReadInt("Settings", "Split Mode", 5), 1);
    store.WriteInt("Settings", "Initial Panel", 2);  // not overridden: stored
    EXPECT_EQ(base.ReadInt("Settings", "Initial Panel", 0), 2);
}

}  // namespace
}  // namespace partita
