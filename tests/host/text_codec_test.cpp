#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using core::TextEncoding;

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

std::wstring Units(std::initializer_list<unsigned> units) {
    std::wstring text;
    for (unsigned unit : units)
        text += static_cast<wchar_t>(unit);
    return text;
}

// Latin-1 stand-in for the system code page that also records its input.
struct RecordingAnsi {
    std::string* seen;
    std::wstring operator()(std::string_view bytes) const {
        *seen = std::string(bytes);
        std::wstring out;
        for (char ch : bytes)
            out += static_cast<wchar_t>(static_cast<unsigned char>(ch));
        return out;
    }
};

TEST(ToUtf8, EncodesUtf16Units) {
    EXPECT_EQ(core::ToUtf8(L"abc"), "abc");
    EXPECT_EQ(core::ToUtf8(std::wstring{wchar_t(0xE9), wchar_t(0xD55C)}), "\xC3\xA9\xED\x95\x9C");
    EXPECT_EQ(core::ToUtf8(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), "\xF0\x9F\x98\x80");
    EXPECT_EQ(core::ToUtf8(std::wstring{wchar_t(0xDC00), L'a'}), "\xEF\xBF\xBD"
                                                                 "a");
    EXPECT_EQ(core::ToUtf8(std::wstring{wchar_t(0xD800), wchar_t(0xE000)}),
              "\xEF\xBF\xBD\xEE\x80\x80");
    // A high surrogate at the end of the text is not paired with what lies beyond.
    EXPECT_EQ(core::ToUtf8(std::wstring_view(L"\xD800\xDC00", 1)), "\xEF\xBF\xBD");
}

} // namespace

TEST(ByteOrderMark, RecognisesEachMarkAndNothingElse) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::size_t length;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBF"
         "abc",
         TextEncoding::Utf8, 3},
        {"\xEF\xBB\xBF", TextEncoding::Utf8, 3},
        {"\xFF\xFE"
         "a",
         TextEncoding::Utf16LE, 2},
        {"\xFE\xFF", TextEncoding::Utf16BE, 2},
        {"\xEF\xBB", TextEncoding::Ansi, 0}, // cut-short mark
        {"\xFF", TextEncoding::Ansi, 0},
        {"\xBB\xEF\xBF", TextEncoding::Ansi, 0},
        {"abc", TextEncoding::Ansi, 0},
        {"", TextEncoding::Ansi, 0},
    };
    for (const Case& c : cases) {
        const core::ByteOrderMark mark = core::DetectByteOrderMark(c.bytes);
        EXPECT_EQ(mark.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(mark.length, c.length) << c.bytes;
    }
}

TEST(DecodeUtf8, WellFormedSequences) {
    EXPECT_EQ(core::DecodeUtf8("plain"), L"plain");
    EXPECT_EQ(core::DecodeUtf8("\xC3\xA9"), Units({0xE9}));
    EXPECT_EQ(core::DecodeUtf8("\xED\x95\x9C"), Units({0xD55C})); // Hangul
    EXPECT_EQ(core::DecodeUtf8("\xEF\xBF\xBF"), Units({0xFFFF})); // last BMP
    EXPECT_EQ(core::DecodeUtf8("\xED\x9F\xBF"), Units({0xD7FF})); // just below surrogates
    EXPECT_EQ(core::DecodeUtf8("\xF0\x9F\x98\x80"), Units({0xD83D, 0xDE00}));
    EXPECT_EQ(core::DecodeUtf8("\xF4\x8F\xBF\xBF"), Units({0xDBFF, 0xDFFF})); // U+10FFFF
    EXPECT_EQ(core::DecodeUtf8(std::string("a\0b", 3)), Units({'a', 0, 'b'}));
}

TEST(DecodeUtf8, EachMaximalBadSubsequenceBecomesOneReplacement) {
    const wchar_t R = kReplacement;
    struct Case {
        std::string bytes;
        std::wstring expected;
    };
    const std::vector<Case> cases = {
        {"\x80", {R}},                              // stray continuation
        {"\xC0\xAF", {R, R}},                       // overlong '/'
        {"\xC1\xBF", {R, R}},                       // overlong
        {"\xE0\x80\xAF", {R, R, R}},                // overlong 3-byte
        {"\xF0\x8F\xBF\xBF", {R, R, R, R}},         // overlong 4-byte
        {"\xED\xA0\x80", {R, R, R}},                // UTF-16 surrogate
        {"\xF4\x90\x80\x80", {R, R, R, R}},         // above U+10FFFF
        {"\xF5\x80", {R, R}},                       // invalid lead
        {"\xFF", {R}},                              //
        {"\xC3", {R}},                              // cut short at the end
        {"\xE2\x82", {R}},                          // cut short at the end
        {"\xF0\x9F\x98", {R}},                      // cut short at the end
        {std::string("\xE2\x82") + "A", {R, L'A'}}, // interrupted by ASCII
        {"\xE2\x82\xE2\x82\xAC", {R, 0x20AC}},      // interrupted by a new lead
        {std::string("x\xC3") + "y\xC3\xA9", {L'x', R, L'y', 0xE9}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::DecodeUtf8(c.bytes), c.expected);
    // Cut short by the end of the text, not of the memory behind it.
    EXPECT_EQ(core::DecodeUtf8(std::string_view("\xC3\xA9", 1)), std::wstring{R});
}

TEST(DecodeUtf16, BothByteOrdersAndTrailingOddByte) {
    EXPECT_EQ(core::DecodeUtf16(std::string("a\0\x5C\xD5", 4), false), Units({'a', 0xD55C}));
    EXPECT_EQ(core::DecodeUtf16(std::string("\0a\xD5\x5C", 4), true), Units({'a', 0xD55C}));
    EXPECT_EQ(core::DecodeUtf16(std::string("a\0b", 3), false), L"a");
    EXPECT_EQ(core::DecodeUtf16("x", true), L"");
    // Surrogates pass through as stored, paired or not.
    EXPECT_EQ(core::DecodeUtf16(std::string("\x3D\xD8\x00\xDE\x00\xDC", 6), false),
              Units({0xD83D, 0xDE00, 0xDC00}));
}

TEST(DecodeText, ChoosesByMarkAndDropsIt) {
    std::string seen = "untouched";
    const RecordingAnsi ansi{&seen};
    EXPECT_EQ(core::DecodeText("\xEF\xBB\xBF\xED\x95\x9C", ansi), Units({0xD55C}));
    EXPECT_EQ(core::DecodeText(std::string("\xFF\xFE"
                                           "a\0",
                                           4),
                               ansi),
              L"a");
    EXPECT_EQ(core::DecodeText(std::string("\xFE\xFF\0a", 4), ansi), L"a");
    EXPECT_EQ(core::DecodeText("\xEF\xBB\xBF", ansi), L"");
    EXPECT_EQ(seen, "untouched");

    EXPECT_EQ(core::DecodeText("caf\xE9", ansi), Units({'c', 'a', 'f', 0xE9}));
    EXPECT_EQ(seen, "caf\xE9");
}

TEST(SplitLines, EveryKindOfBreak) {
    struct Case {
        std::wstring text;
        std::vector<std::wstring> lines;
    };
    const std::vector<Case> cases = {
        {L"", {}},
        {L"a", {L"a"}},
        {L"a\r\nb", {L"a", L"b"}},
        {L"a\rb\nc", {L"a", L"b", L"c"}},
        {L"a\r\n", {L"a"}},
        {L"a\r", {L"a"}},
        {L"a\n", {L"a"}},
        {L"\r\n", {L""}},
        {L"\n\n", {L"", L""}},
        {L"a\r\n\r\nb", {L"a", L"", L"b"}},
        {L"a\n\rb", {L"a", L"", L"b"}}, // LF CR is two breaks
        {L"a\r\r\nb", {L"a", L"", L"b"}},
        {L"a\r\n\r\n", {L"a", L""}},
        {L" x \t", {L" x \t"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::SplitLines(c.text), c.lines);
}
