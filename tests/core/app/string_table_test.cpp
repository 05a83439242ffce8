#include <gtest/gtest.h>

#include "app/message_format.h"
#include "app/string_table.h"

namespace partita {
namespace {

// Both languages hold the same numbers, and each message takes the same arguments in both.
TEST(StringTable, LanguagesAgreeOnNumbersAndArguments) {
    const auto& zh = StringTable::For(Language::Chinese).Texts();
    const auto& en = StringTable::For(Language::English).Texts();
    ASSERT_GT(zh.size(), 150u);
    ASSERT_EQ(zh.size(), en.size());
    for (const auto& [id, text] : zh) {
        ASSERT_TRUE(en.count(id)) << id;
        EXPECT_EQ(ConversionKinds(text), ConversionKinds(en.at(id))) << id;
        EXPECT_FALSE(en.at(id).empty()) << id;
    }
}

// Texts are exactly the quoted ones, escapes decoded.
TEST(StringTable, KnownTextsAndEscapes) {
    const auto& zh = StringTable::For(Language::Chinese);
    EXPECT_EQ(zh.Get(244), "正在进行分割或合并操作，请在退出前先停止该操作。");
    EXPECT_EQ(zh.Get(208), "%G\\%F-%S");
    EXPECT_NE(zh.Get(263).find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(zh.Get(1062), "MP3 分割");
    EXPECT_EQ(zh.Get(99999), "#99999");  // a gap shows, never crashes
}

// The parser skips comments and malformed lines and keeps the last duplicate.
TEST(StringTable, ParsesTheResourceForm) {
    auto table = StringTable::Parse("# comment\r\n12\tA\\tB\\\\C\\x\r\nbad line\n13\t\n12x\tno\n");
    EXPECT_EQ(table.Get(12), "A\tB\\C\\x");
    EXPECT_TRUE(table.Has(13));
    EXPECT_EQ(table.Get(13), "");
    EXPECT_EQ(table.Texts().size(), 2u);
}

// The language follows the setting, then the locale.
TEST(StringTable, LanguageResolution) {
    EXPECT_EQ(ResolveLanguage("zh_CN", "en_US.UTF-8"), Language::Chinese);
    EXPECT_EQ(ResolveLanguage("en", "zh_CN.UTF-8"), Language::English);
    EXPECT_EQ(ResolveLanguage("", "zh_TW.UTF-8"), Language::Chinese);
    EXPECT_EQ(ResolveLanguage("", "de_DE.UTF-8"), Language::English);
    EXPECT_EQ(ResolveLanguage("fr", ""), Language::English);
}

// Message arguments are formatted by kind, widths and flags honoured.
TEST(MessageFormat, FormatsConversions) {
    const MessageArg args[] = {42, "name", std::uint64_t{5'000'000'000}, 3.14159, -7};
    EXPECT_EQ(FormatMessageText("%d [%s] %I64u %.2f %03d %%", args),
              "42 [name] 5000000000 3.14 -07 %");
    const MessageArg two[] = {"a", 5};
    EXPECT_EQ(FormatMessageText("%-4s|%4d|%x", std::span(two, 2)), "a   |   5|%x");
}

// Wrong or missing arguments give a wrong text, never undefined behaviour.
TEST(MessageFormat, MismatchedArgumentsAreSafe) {
    const MessageArg args[] = {"text", 12};
    EXPECT_EQ(FormatMessageText("%d %s %s %n %", args), "text 12 %s %n %");
    EXPECT_EQ(FormatMessageText("%s", {}), "%s");
    EXPECT_LT(FormatMessageText("%999999999999d", std::span(args + 1, 1)).size(), 100u);
    EXPECT_EQ(ConversionKinds("%d %s %I64d %.1f %% %02d %q"), "dsdfd?");
}

// A numbered message of the current language.
TEST(MessageFormat, NumberedMessagesFollowTheLanguage) {
    SetCurrentLanguage(Language::English);
    std::string english = Message(244);
    SetCurrentLanguage(Language::Chinese);
    EXPECT_NE(english, Message(244));
    EXPECT_EQ(Message(244), StringTable::For(Language::Chinese).Get(244));
}

}  // namespace
}  // namespace partita
