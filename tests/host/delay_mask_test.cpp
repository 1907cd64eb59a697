#include "core/DelayMask.h"

#include "core/DelayText.h"

#include <gtest/gtest.h>

using core::DelayMask;

namespace {

DelayMask MaskWith(std::wstring_view text) {
    DelayMask mask;
    mask.SetText(text);
    return mask;
}

// Separators stay in place and the display keeps its length whatever is done.
void ExpectShape(const DelayMask& mask, wchar_t separator = L':') {
    const std::wstring& display = mask.Display();
    ASSERT_EQ(display.size(), DelayMask::kLength);
    for (std::size_t i = 0; i < DelayMask::kLength; ++i) {
        if (DelayMask::IsDigitPosition(i))
            EXPECT_TRUE(display[i] >= L'0' && display[i] <= L'9') << display;
        else
            EXPECT_EQ(display[i], i == 8 ? L'.' : separator) << display;
    }
}

} // namespace

TEST(DelayMask, DigitPositions) {
    std::wstring layout;
    for (std::size_t i = 0; i <= DelayMask::kLength; ++i)
        layout += DelayMask::IsDigitPosition(i) ? L'9' : L'_';
    EXPECT_EQ(layout, L"99_99_99_99_");
}

TEST(DelayMask, BlankEditorShowsZerosAndReadsAsSpaces) {
    const DelayMask mask;
    EXPECT_EQ(mask.Display(), L"00:00:00.00");
    EXPECT_EQ(mask.Text(), L"  :  :  .  ");
    EXPECT_EQ(core::NormalizeDelayText(mask.Text()), L"00:00:00.00");

    const DelayMask dotted(L'.');
    EXPECT_EQ(dotted.Display(), L"00.00.00.00");
    EXPECT_EQ(dotted.Text(), L"  .  .  .  ");
}

TEST(DelayMask, SetTextKeepsDigitsAndMaskSeparators) {
    EXPECT_EQ(MaskWith(L"  :  : 1.  ").Display(), L"00:00:01.00");
    EXPECT_EQ(MaskWith(L"  :  : 1.  ").Text(), L"  :  : 1.  ");
    EXPECT_EQ(MaskWith(L"12:34:56.78").Text(), L"12:34:56.78");
    // A typed zero reads back as a space just like an unfilled cell.
    EXPECT_EQ(MaskWith(L"10:00:00.00").Text(), L"1 :  :  .  ");
    EXPECT_EQ(MaskWith(L"12-34-56,78").Display(), L"12:34:56.78");
    EXPECT_EQ(MaskWith(L"1a:b4:5 .x8").Display(), L"10:04:50.08");
    EXPECT_EQ(MaskWith(L"12:34").Display(), L"12:34:00.00");
    EXPECT_EQ(MaskWith(L"12:34:56.789").Display(), L"12:34:56.78");
    EXPECT_EQ(MaskWith(L"").Display(), L"00:00:00.00");

    DelayMask mask = MaskWith(L"99:99:99.99");
    mask.SetText(L"  :  : 1.  ");
    EXPECT_EQ(mask.Display(), L"00:00:01.00");
}

TEST(DelayMask, TypingOverwritesAndSkipsSeparators) {
    DelayMask mask;
    std::size_t caret = 0;
    for (wchar_t ch : std::wstring(L"12345678")) {
        const auto next = mask.TypeChar(caret, caret, ch);
        ASSERT_TRUE(next.has_value());
        caret = *next;
    }
    EXPECT_EQ(mask.Display(), L"12:34:56.78");
    EXPECT_EQ(caret, DelayMask::kLength);
    EXPECT_EQ(mask.TypeChar(caret, caret, L'9'), std::nullopt);

    EXPECT_EQ(mask.TypeChar(2, 2, L'0'), 4u); // from the separator to position 3
    EXPECT_EQ(mask.TypeChar(8, 8, L'0'), 10u);
    EXPECT_EQ(mask.Display(), L"12:04:56.08");
}

TEST(DelayMask, TypingReplacesTheSelection) {
    DelayMask mask = MaskWith(L"12:34:56.78");
    EXPECT_EQ(mask.TypeChar(0, 5, L'7'), 1u);
    EXPECT_EQ(mask.Display(), L"70:00:56.78");

    mask.SetText(L"12:34:56.78");
    EXPECT_EQ(mask.TypeChar(5, 0, L'7'), 1u); // selection made leftwards
    EXPECT_EQ(mask.Display(), L"70:00:56.78");
}

TEST(DelayMask, RefusedCharactersLeaveTheTextAlone) {
    DelayMask mask = MaskWith(L"12:34:56.78");
    for (wchar_t ch : std::wstring(L"a :.-\xFF11"))
        EXPECT_EQ(mask.TypeChar(0, 11, ch), std::nullopt);
    EXPECT_EQ(mask.TypeChar(11, 11, L'5'), std::nullopt);
    EXPECT_EQ(mask.TypeChar(40, 50, L'5'), std::nullopt);
    EXPECT_EQ(mask.Display(), L"12:34:56.78");
}

TEST(DelayMask, DeleteForward) {
    DelayMask mask = MaskWith(L"12:34:56.78");
    EXPECT_EQ(mask.DeleteForward(3, 3), 3u);
    EXPECT_EQ(mask.Display(), L"12:04:56.78");
    EXPECT_EQ(mask.DeleteForward(5, 5), 5u); // on a separator: the digit after it
    EXPECT_EQ(mask.Display(), L"12:04:06.78");
    EXPECT_EQ(mask.DeleteForward(11, 11), 11u);
    EXPECT_EQ(mask.DeleteForward(10, 1), 1u);
    EXPECT_EQ(mask.Display(), L"10:00:00.08");
}

TEST(DelayMask, DeleteBackward) {
    DelayMask mask = MaskWith(L"12:34:56.78");
    EXPECT_EQ(mask.DeleteBackward(11, 11), 10u);
    EXPECT_EQ(mask.Display(), L"12:34:56.70");
    EXPECT_EQ(mask.DeleteBackward(9, 9), 7u); // skips the '.'
    EXPECT_EQ(mask.Display(), L"12:34:50.70");
    EXPECT_EQ(mask.DeleteBackward(0, 0), 0u);
    EXPECT_EQ(mask.DeleteBackward(1, 4), 1u);
    EXPECT_EQ(mask.Display(), L"10:04:50.70");
    EXPECT_EQ(mask.DeleteBackward(30, 30), 10u); // caret past the end
    EXPECT_EQ(mask.Display(), L"10:04:50.70");
}

TEST(DelayMask, PasteTypesOnlyDigits) {
    DelayMask mask;
    EXPECT_EQ(mask.Paste(0, 0, L"1a2:3"), 4u);
    EXPECT_EQ(mask.Display(), L"12:30:00.00");

    EXPECT_EQ(mask.Paste(9, 9, L"456789"), 11u); // the rest is dropped
    EXPECT_EQ(mask.Display(), L"12:30:00.45");

    EXPECT_EQ(mask.Paste(0, 11, L"9"), 1u);
    EXPECT_EQ(mask.Display(), L"90:00:00.00");

    EXPECT_EQ(mask.Paste(0, 2, L"no digits"), 0u);
    EXPECT_EQ(mask.Display(), L"00:00:00.00");
}

TEST(DelayMask, KeepsItsShapeWhateverTheCaret) {
    for (std::size_t start = 0; start <= DelayMask::kLength + 2; ++start) {
        for (std::size_t end = 0; end <= DelayMask::kLength + 2; ++end) {
            DelayMask mask(L'-');
            mask.SetText(L"98-76-54.32");
            (void)mask.TypeChar(start, end, L'1');
            ExpectShape(mask, L'-');
            EXPECT_LE(mask.DeleteForward(start, end), DelayMask::kLength);
            ExpectShape(mask, L'-');
            EXPECT_LE(mask.DeleteBackward(start, end), DelayMask::kLength);
            ExpectShape(mask, L'-');
            EXPECT_LE(mask.Paste(start, end, L"123456789"), DelayMask::kLength);
            ExpectShape(mask, L'-');
        }
    }
}
