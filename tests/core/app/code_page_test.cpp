#include <gtest/gtest.h>

#include "app/code_page.h"

namespace partita {
namespace {

// Legacy bytes decode in their code page; bad bytes cost one replacement each.
TEST(CodePage, DecodesLegacyBytes) {
    EXPECT_EQ(LegacyToUtf8("caf\xE9", "ISO-8859-1"), "café");
    EXPECT_EQ(LegacyToUtf8("\xC4\xE3\xBA\xC3", "GBK"), "你好");
    EXPECT_EQ(LegacyToUtf8("a\xFF"
                           "b",
                           "GBK"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(LegacyToUtf8("caf\xE9", "NO-SUCH-CODEPAGE"), "café");
}

// Unrepresentable characters become "?" and a limit never cuts a character in half.
TEST(CodePage, EncodesWithinALimit) {
    EXPECT_EQ(Utf8ToLegacy("café", "ISO-8859-1"), "caf\xE9");
    EXPECT_EQ(Utf8ToLegacy("你好", "ISO-8859-1"), "??");
    EXPECT_EQ(Utf8ToLegacy("a你好", "GBK", 4), "a\xC4\xE3");
    EXPECT_EQ(Utf8ToLegacy("a你好", "GBK", 5), "a\xC4\xE3\xBA\xC3");
    EXPECT_EQ(Utf8ToLegacy("abc", "GBK", 2), "ab");
    EXPECT_EQ(Utf8ToLegacy("a\xFFz", "GBK"), "a?z");
}

// Latin-1 and UTF-8 checks for choosing an ID3 encoding or a sheet's reading.
TEST(CodePage, Classifies) {
    EXPECT_TRUE(IsLatin1("café ÿ"));
    EXPECT_FALSE(IsLatin1("€"));
    EXPECT_FALSE(IsLatin1("你"));
    EXPECT_TRUE(IsValidUtf8("你好 café"));
    EXPECT_FALSE(IsValidUtf8("\xC4\xE3\xBA\xC3"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
}

}  // namespace
}  // namespace partita
