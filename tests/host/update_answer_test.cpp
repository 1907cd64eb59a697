#include "core/AnswerText.h"
#include "core/UpdateAnswer.h"
#include "core/UpdatePrompt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>

namespace {

TEST(UpdateAnswer, LinkIsTakenFromTheUpdateMember) {
    const struct {
        const wchar_t* answer;
        const wchar_t* link;
    } cases[] = {
        {LR"({"result":true,"update":"https:\/\/x.invalid\/a.exe","n":1})",
         L"https://x.invalid/a.exe"},
        {LR"({"UPDATE":"https://x.invalid/b"})", L"https://x.invalid/b"},
        {LR"({"update": "https://x.invalid/c"})", L""}, // blank after the colon
        {LR"({"update":null})", L""},
        {LR"({"update":""})", L""},
        {LR"({"other":1})", L""},
        {LR"({"update":"https://x.invalid/no-end)", L""},
        // An escaped quote belongs to the link.
        {LR"({"update":"a\"b","n":"z"})", L"a\"b"},
        // An escaped backslash before the quote hides that quote: the link
        // runs on to the next quote, or there is none.
        {LR"({"update":"a\\","n":"z"})", L"a\\\","},
        {LR"({"update":"a\\)", L""},
        // A marker inside another string, with escaped quotes, is not found.
        {LR"({"note":"\"update\":\"evil","update":"good"})", L"good"},
        {LR"({"update":"x\qy\u00e9\u0041BC\ud83d\ude00"})", L"xy\u00e9ABC\xD83D\xDE00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::UpdateLink(c.answer), c.link) << c.answer;
}

TEST(UpdateAnswer, UnescapeNeverFailsOnMalformedUnicodeEscapes) {
    const struct {
        const wchar_t* source;
        const wchar_t* text;
    } cases[] = {
        {L"a\\uzz12b", L"ab"}, // not hexadecimal: four characters dropped
        {L"a\\u12", L"a\x12"}, // fewer than four digits at the end
        {L"a\\u4", L"a\x4"},
        {L"a\\u", L"a"},   // nothing after \u
        {L"a\\u1g", L"a"}, // a non-digit among the last characters
        {L"a\\", L"a"},    // a lone backslash at the end
        {L"\\b\\f\\n\\r\\t\\/\\'", L"\b\f\n\r\t/'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::JsonUnescape(c.source), c.text) << c.source;
}

TEST(UpdateAnswer, ExtractBetweenHandlesOtherMarkers) {
    EXPECT_EQ(core::ExtractBetween(L"<a>x</A>", L"<A>", L"</a>"), L"x");
    EXPECT_EQ(core::ExtractBetween(L"k='it\\'s' z", L"K='", L"'"), L"it\\'s");
    EXPECT_EQ(core::ExtractBetween(L"abc", L"", L"c"), L"");
    EXPECT_EQ(core::ExtractBetween(L"abc", L"a", L""), L"");
}

TEST(UpdateAnswer, OnlyWebAddressesAreOffered) {
    for (const wchar_t* link : {L"C:\\\\Windows\\\\notepad.exe", L"file:\\/\\/\\/C:\\/x.exe",
                                L"\\\\\\\\host\\\\share\\\\x.exe", L"javascript:alert(1)",
                                L"dl\\/new.exe", L"https:\\/\\/x\\u0000y"})
        EXPECT_EQ(core::OfferedLink(std::wstring(L"{\"update\":\"") + link + L"\"}"), L"") << link;
    EXPECT_EQ(core::OfferedLink(LR"({"update":"https:\/\/example.invalid\/dl\/new.exe"})"),
              L"https://example.invalid/dl/new.exe");
}

TEST(UpdatePrompt, LanguageIsComparedExactly) {
    const std::wstring english = L"This program has been updated.\r\r"
                                 L"It is recommended to download and execute new for stable "
                                 L"use.\r\rDo you want to download it?";
    EXPECT_EQ(core::UpdatePromptText(L"ja"),
              L"このプログラムがアップデートされました。\r\r安定的に使用するために新しくダウンロー"
              L"ド\u00B7実行することをお勧めします。\r\rダウンロードしますか。");
    EXPECT_EQ(core::UpdatePromptText(L"pt"), english);
    EXPECT_EQ(core::UpdatePromptText(L"KO"), english);
    EXPECT_EQ(core::UpdatePromptText(L""), english);
}

TEST(AnswerText, CharsetComesFromTheContentType) {
    const struct {
        const wchar_t* contentType;
        std::optional<unsigned> codePage; // 0: UTF-8, nothing: unknown
    } cases[] = {
        {L"application/json", 0},
        {L"application/json; charset=UTF-8", 0},
        {L"text/html;Charset=\"EUC-KR\"", 949},
        {L"text/plain; format=flowed; charset=Shift_JIS", 932},
        {L"text/plain; charset=windows-1251", 1251},
        {L"text/plain; charset=ISO-8859-15", 28605},
        {L"text/plain; charset=iso-8859-12", std::nullopt},
        {L"text/plain; charset=klingon", std::nullopt},
        {L"text/plain; charset=cp0", std::nullopt},
        {L"text/plain; charset=cp4294968548", std::nullopt}, // would wrap to 1252
        {L"text/plain; charset=windows-125x", std::nullopt},
        {L"text/plain; charset=\"", std::nullopt},
        {L"text/plain; charset= ", 0},
        {L"text/plain; charset", 0},
        {L"text/plain; nocharset=cp949", 0},
    };
    for (const auto& c : cases) {
        const auto charset = core::CharsetEncoding(core::ContentTypeCharset(c.contentType));
        ASSERT_EQ(charset.has_value(), c.codePage.has_value()) << c.contentType;
        if (charset) {
            EXPECT_EQ(charset->codePage, *c.codePage) << c.contentType;
        }
    }
}

TEST(AnswerText, CharsetTheTableLacksComesFromThePlatformDatabase) {
    const std::map<std::wstring, core::CharsetRecord, std::less<>> records = {
        {L"cyrillic", {L"iso-8859-5"}},
        {L"asmo-708", {L"", 708}},
        {L"unicode-1-1-utf-8", {L"utf-8"}},
        {L"euc-kr", {L"", 51949}},
        {L"no-page", {L"", 0}},
        {L"loop-a", {L"loop-b"}},
        {L"loop-b", {L"loop-a"}},
    };
    // Letter case ignored, as in the registry.
    const core::CharsetDatabase database =
        [&](std::wstring_view name) -> std::optional<core::CharsetRecord> {
        std::wstring key(name);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
        const auto found = records.find(key);
        if (found == records.end())
            return std::nullopt;
        return found->second;
    };
    const struct {
        const wchar_t* charset;
        std::optional<unsigned> codePage; // 0: UTF-8, nothing: unknown
    } cases[] = {
        {L"cyrillic", 28595},       // an alias of a name the table knows
        {L"asmo-708", 708},         // a code page of its own
        {L"unicode-1-1-utf-8", 0},  // an alias of UTF-8
        {L"EUC-KR", 949},           // the table comes first
        {L"no-page", std::nullopt}, // a record without a code page
        {L"loop-a", std::nullopt},  // aliases in a circle
        {L"klingon", std::nullopt}, // known to neither
    };
    for (const auto& c : cases) {
        const auto charset = core::CharsetEncoding(c.charset, database);
        ASSERT_EQ(charset.has_value(), c.codePage.has_value()) << c.charset;
        if (charset) {
            EXPECT_EQ(charset->codePage, *c.codePage) << c.charset;
        }
    }
    EXPECT_EQ(core::CharsetEncoding(L"cyrillic", {}), std::nullopt) << "without a database";
}

TEST(AnswerText, BodyIsDecodedByItsCharset) {
    unsigned asked = 0;
    const core::CodePageDecoder latin1 = [&](unsigned codePage, std::string_view bytes) {
        asked = codePage;
        return std::optional<std::wstring>(std::wstring(bytes.begin(), bytes.end()));
    };
    EXPECT_EQ(core::DecodeAnswer("caf\xC3\xA9", L"text/plain", latin1), L"caf\u00E9");
    EXPECT_EQ(asked, 0u);
    EXPECT_EQ(core::DecodeAnswer(std::string("a\0b\0", 4), L"x/y; charset=utf-16", latin1), L"ab");
    EXPECT_EQ(core::DecodeAnswer("x", L"x/y; charset=latin1", latin1), L"x");
    EXPECT_EQ(asked, 28591u);
    EXPECT_EQ(core::DecodeAnswer("x", L"x/y; charset=klingon", latin1), std::nullopt);
    // The Unicode code pages are decoded here: the Windows decoder refuses them.
    EXPECT_EQ(core::DecodeAnswer("\xC3\xA9", L"x/y; charset=cp65001", latin1), L"\u00E9");
    EXPECT_EQ(core::DecodeAnswer(std::string("a\0", 2), L"x/y; charset=cp1200", latin1), L"a");
    EXPECT_EQ(core::DecodeAnswer(std::string("\0a", 2), L"x/y; charset=cp1201", latin1), L"a");
}

} // namespace
