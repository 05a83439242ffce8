#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/string_table.h"
#include "app/user_message.h"

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

// Every named message has a text in both languages: the enumerators are read from their header,
// so a new one cannot be forgotten here.
TEST(StringTable, EveryNamedMessageHasBothTexts) {
    std::ifstream header(std::string(PARTITA_SOURCE_DIR) + "/src/core/app/messages.h");
    std::stringstream text;
    text << header.rdbuf();
    const std::string source = text.str();
    const std::regex entry(R"((\w+) = (\d+),)");
    std::set<int> numbers;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), entry);
         it != std::sregex_iterator(); ++it) {
        const int number = std::stoi((*it)[2]);
        EXPECT_TRUE(numbers.insert(number).second) << (*it)[1] << " repeats " << number;
        EXPECT_TRUE(StringTable::For(Language::Chinese).Has(number)) << (*it)[1];
        EXPECT_TRUE(StringTable::For(Language::English).Has(number)) << (*it)[1];
    }
    EXPECT_GT(numbers.size(), 70u);
}

// Texts are exactly the quoted ones, escapes decoded.
TEST(StringTable, KnownTextsAndEscapes) {
    const auto& zh = StringTable::For(Language::Chinese);
    EXPECT_EQ(zh.Get(Msg::JobRunningOnExit), "正在进行分割或合并操作，请在退出前先停止该操作。");
    EXPECT_EQ(zh.Get(Msg::DefaultNamingRule), "%G\\%F-%S");
    EXPECT_NE(zh.Get(Msg::AudioModuleFailed).find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(zh.Get(Msg::SplitterPanel), "MP3 分割");
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

// A message of the string table in the current language; a message made earlier is formatted in the
// language of the moment it is shown. A plain one has no number and stays as given.
TEST(MessageFormat, NumberedMessagesFollowTheLanguage) {
    SetCurrentLanguage(Language::English);
    std::string english = Message(Msg::JobRunningOnExit);
    UserMessage later(Msg::CannotLoadFile, "a.mp3");
    SetCurrentLanguage(Language::Chinese);
    EXPECT_NE(english, Message(Msg::JobRunningOnExit));
    EXPECT_EQ(Message(Msg::JobRunningOnExit),
              StringTable::For(Language::Chinese).Get(Msg::JobRunningOnExit));
    EXPECT_EQ(later.Text(), "未能载入文件“a.mp3”");
    EXPECT_EQ(UserMessage(Msg::EncoderFailed).WithDetail("lame: bad").Text(),
              Message(Msg::EncoderFailed) + "\nlame: bad");

    UserMessage plain = UserMessage::Plain("a.mp3: exists, kept %d");
    EXPECT_FALSE(plain.Id());
    EXPECT_EQ(plain.Text(), "a.mp3: exists, kept %d");
}

}  // namespace
}  // namespace partita
