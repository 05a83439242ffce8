#include "app/column_layout.h"

#include <gtest/gtest.h>

#include "app/memory_settings_store.h"
#include "app/string_table.h"

namespace partita {
namespace {

// The built-in lists read with their stray blanks dropped and write back in the one form.
TEST(ColumnLayout, ReadsTheBuiltInListsInBothLanguages) {
    for (Language language : {Language::Chinese, Language::English}) {
        const StringTable& table = StringTable::For(language);
        auto splitter = ParseColumnLayout(table.Get(Msg::SplitterColumnsDefault));
        ASSERT_TRUE(splitter);
        ASSERT_EQ(splitter->size(), 13u);
        EXPECT_EQ((*splitter)[0].width, 220);
        EXPECT_EQ((*splitter)[5].width, 80);
        EXPECT_EQ((*splitter)[11].width, 0);
        auto joiner = ParseColumnLayout(table.Get(Msg::JoinerColumnsDefault));
        ASSERT_TRUE(joiner);
        ASSERT_EQ(joiner->size(), 17u);
        EXPECT_EQ(ParseColumnLayout(FormatColumnLayout(*joiner)), joiner);
    }
    auto zh =
        ParseColumnLayout(StringTable::For(Language::Chinese).Get(Msg::SplitterColumnsDefault));
    EXPECT_EQ((*zh)[5], (ColumnEntry{"向前交迭", 80}));
    EXPECT_EQ(FormatColumnLayout({{"向后交迭", 80}, {"向前交迭", 80}}),
              "向后交迭, 80;向前交迭, 80");

    EXPECT_EQ(ParseColumnLayout("a, 10;;b,20;"), (ColumnLayout{{"a", 10}, {"b", 20}}));
    EXPECT_EQ(ParseColumnLayout("x, y, 30"), (ColumnLayout{{"x, y", 30}}));
    EXPECT_FALSE(ParseColumnLayout("a, 10;b"));
    EXPECT_FALSE(ParseColumnLayout("a, ten"));
    EXPECT_FALSE(ParseColumnLayout("a, -5"));
}

// A stored layout comes back as written; a missing, damaged or foreign one (another number of
// columns) gives the list's default.
TEST(ColumnLayout, StoredLayoutOrTheDefault) {
    SetCurrentLanguage(Language::English);
    MemorySettingsStore store;
    const auto& setting = settings::JoinerColumnList;
    ColumnLayout fallback = *ParseColumnLayout(setting.Default());
    EXPECT_EQ(ReadColumnLayout(store, setting), fallback);

    ColumnLayout wider = fallback;
    wider[0].width = 300;
    ASSERT_TRUE(WriteColumnLayout(store, setting, wider));
    EXPECT_EQ(store.ReadString("MP3 Joiner", "Joiner Column List"), FormatColumnLayout(wider));
    EXPECT_EQ(ReadColumnLayout(store, setting), wider);

    for (const char* stored : {"File Name, 120;Length", "File Name, 120;Length, 60"}) {
        setting.Write(store, stored);
        EXPECT_EQ(ReadColumnLayout(store, setting), fallback) << stored;
    }
    SetCurrentLanguage(Language::Chinese);
}

}  // namespace
}  // namespace partita
