#include <gtest/gtest.h>

#include <cstdlib>

#include "app/code_page.h"
#include "app/memory_settings_store.h"
#include "app/setting_values.h"

namespace partita {
namespace {

// Without a stored value, sheets and lists are read in the locale's legacy code page: GBK for
// Simplified Chinese, so a sheet from a Chinese ripper reads right with no setting changed.
TEST(LocaleCodePage, DefaultFollowsTheLocale) {
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_CTYPE");
    ::setenv("LANG", "zh_CN.UTF-8", 1);
    MemorySettingsStore store;
    EXPECT_EQ(settings::LegacyCodePage.Read(store), "GBK");
    ::setenv("LC_CTYPE", "ja_JP", 1);
    EXPECT_EQ(LocaleLegacyCodePage(), "CP932");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(LocaleLegacyCodePage(), "ISO-8859-1");
    settings::LegacyCodePage.Write(store, "CP1251");
    EXPECT_EQ(settings::LegacyCodePage.Read(store), "CP1251");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_CTYPE");
    ::unsetenv("LANG");
}

}  // namespace
}  // namespace partita
