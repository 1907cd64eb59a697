#include "core/LauncherAnswer.h"
#include "core/WebLink.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace core::launcher;

TEST(LauncherAnswer, HeaderBlockIsTwoHeadersJoinedByOneCarriageReturn) {
    const std::wstring block = RequestHeaders(L"1.2.3.4");
    EXPECT_EQ(block, L"User-Version: 1.2.3.4\rUser-Debug: false");
    EXPECT_EQ(block.size(), 39u);
}

TEST(LauncherAnswer, MainProgramLiesBesideTheLauncher) {
    const struct {
        const wchar_t* module;
        const wchar_t* path;
    } cases[] = {
        {L"C:\\Tools\\Launcher.exe", L"C:\\Tools\\Mirvex.exe"},
        {L"C:/Tools/Launcher.exe", L"C:/Tools/Mirvex.exe"},
        {L"C:Launcher.exe", L"C:Mirvex.exe"},
        {L"\\\\host\\share\\a/b\\Launcher.exe", L"\\\\host\\share\\a/b\\Mirvex.exe"},
        {L"Launcher.exe", L"Mirvex.exe"},
        {L"C:\\Tools\\", L"C:\\Tools\\Mirvex.exe"},
        {L"", L"Mirvex.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SiblingPath(c.module, kMainProgramFile), c.path)
            << testing::PrintToString(c.module);
}

TEST(LauncherAnswer, JsonUnescapeDecodesEscapes) {
    const struct {
        const wchar_t* text;
        const wchar_t* decoded;
    } cases[] = {
        {L"https:\\/\\/x\\/dl", L"https://x/dl"},
        {L"a\\\"b\\'c\\\\d", L"a\"b'c\\d"},
        {L"\\b\\f\\n\\r\\t", L"\b\f\n\r\t"},
        {L"\\u00e9\\u00C9", L"\u00e9\u00c9"},
        {L"\\u0041BC", L"ABC"},
        {L"\\ud83d\\ude00", L"\xd83d\xde00"}, // a surrogate pair stays a pair
        {L"\\u41", L"A"},                     // fewer digits at the end
        {L"\\u0000x", L"x"},                  // value 0: nothing
        {L"\\uzz12x", L"x"},                  // not hexadecimal: four consumed
        {L"\\u00g1x", L"x"},
        {L"\\u", L""},
        {L"a\\qb", L"ab"}, // unknown escape vanishes
        {L"a\\", L"a"},    // trailing backslash
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonUnescape(c.text), c.decoded) << testing::PrintToString(c.text);
}

TEST(LauncherAnswer, LinkFollowsTheExactMarkerUpToTheNextQuote) {
    const struct {
        const wchar_t* answer;
        const wchar_t* link;
    } cases[] = {
        {LR"({"result":true,"update":"https:\/\/x\/new.exe","notice":""})", L"https://x/new.exe"},
        {LR"({"update":"dl\/new.exe"})", L"dl/new.exe"},
        {LR"({"update":""})", L""},
        {LR"({"update":null})", L""},
        {LR"({"UPDATE":"https://x"})", L""},  // case-sensitive
        {LR"({"update": "https://x"})", L""}, // no blank allowed
        {LR"({"notice":"none"})", L""},
        {LR"({"update":"abc\"def"})", L"abc"}, // an escaped quote still ends it
        {LR"({"update":"a\\"})", L"a\\"},
        {LR"({"update":"https://first","update":"https://second"})", L"https://first"},
        {LR"({"update":"https://x)", L""}, // no closing quote
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkInAnswer(c.answer), c.link) << testing::PrintToString(c.answer);
}

TEST(LauncherAnswer, OnlyWebLinksAreOffered) {
    EXPECT_EQ(OfferedLink(LR"({"update":"https:\/\/x\/new.exe"})"), L"https://x/new.exe");
    EXPECT_EQ(OfferedLink(LR"({"update":"http://127.0.0.1:8080/a"})"), L"http://127.0.0.1:8080/a");
    EXPECT_EQ(OfferedLink(LR"({"update":"dl\/new.exe"})"), L"");
    EXPECT_EQ(OfferedLink(LR"({"update":"C:\\Windows\\notepad.exe"})"), L"");
    EXPECT_EQ(OfferedLink(LR"({"update":"file:\/\/\/C:\/x.exe"})"), L"");
}

TEST(LauncherAnswer, AnswerLargerThanTheLimitIsDroppedWhole) {
    const std::string chunk(1025, 'x');
    AnswerBytes whole;
    std::size_t total = 0;
    while (total + chunk.size() <= core::kMaxAnswerBytes) {
        ASSERT_TRUE(whole.Append(chunk));
        total += chunk.size();
    }
    ASSERT_TRUE(whole.Append(std::string(core::kMaxAnswerBytes - total, 'y')));
    EXPECT_EQ(whole.Bytes().size(), core::kMaxAnswerBytes);
    EXPECT_FALSE(whole.TooLarge());

    EXPECT_FALSE(whole.Append("z"));
    EXPECT_TRUE(whole.TooLarge());
    EXPECT_TRUE(whole.Bytes().empty());
    EXPECT_FALSE(whole.Append(""));
    EXPECT_TRUE(whole.Bytes().empty());
}

} // namespace
