#include "core/DelayText.h"
#include "core/TextCodec.h"

#include "ConversionCheck.h"
#include "core/WholeNumber.h"

#include <gtest/gtest.h>

#include <vector>

TEST(DelayText, NormalizeTurnsEverySpaceIntoZero) {
    EXPECT_EQ(core::NormalizeDelayText(L"  :  : 1.  "), L"00:00:01.00");
    EXPECT_EQ(core::NormalizeDelayText(L"12:34:56.78"), L"12:34:56.78");
    EXPECT_EQ(core::NormalizeDelayText(L" "), L"0");
    EXPECT_EQ(core::NormalizeDelayText(L""), L"");
}

TEST(DelayText, ConvertsEachPairToMilliseconds) {
    const std::vector<std::pair<std::wstring, std::int32_t>> cases = {
        {L"00:00:00.00", 0},    {L"00:00:01.00", 1000},    {L"01:02:03.04", 3723004},
        {L"00:00:01.50", 1050}, // the last pair is milliseconds, not hundredths
        {L"00:00:00.99", 99},   {L"00:75:00.00", 4500000}, {L"99:99:99.99", 362439099},
        {L"00.00.01.00", 1000},                        // separators are never looked at
        {L"00x00y01z00", 1000}, {L"00:00:01.5", 1005}, // a short text gives a short last pair
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(core::DelayToMilliseconds(text), expected) << core::ToUtf8(text);
}

TEST(DelayText, NormalisedEditorTextConverts) {
    EXPECT_EQ(core::DelayToMilliseconds(core::NormalizeDelayText(L"  :  : 1.  ")), 1000);
}

TEST(DelayText, RejectsPairsThatAreNotDigitsNamingTheText) {
    const std::vector<std::wstring> bad = {
        L" 0:00:01.00", // not normalised
        L"  :  : 1.  ",
        L"-1:00:00.00", // a delay is never negative
        L"+1:00:00.00",
        L"00:0a:00.00",
        L"00:00:01.", // empty last pair
        L"00:00:01",  // no last pair at all
        L"",
        L"00:00:\xFF11\xFF11.00", // full-width digits
    };
    for (const std::wstring& text : bad) {
        const std::string message =
            ConversionErrorMessage([&] { core::DelayToMilliseconds(text); });
        EXPECT_EQ(message, "'" + core::ToUtf8(text) + "' is not a valid delay");
    }
}
