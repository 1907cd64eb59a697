#include "core/WholeNumber.h"

#include "core/TextCodec.h"

#include "ConversionCheck.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <vector>

TEST(WholeNumber, AcceptsSignedDecimalsWithinInt32) {
    struct Case {
        std::wstring text;
        std::optional<std::int32_t> value;
    };
    const std::vector<Case> cases = {
        {L"0", 0},
        {L"007", 7},
        {L"-1", -1},
        {L"+42", 42},
        {L"2147483647", std::numeric_limits<std::int32_t>::max()},
        {L"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {L"2147483648", std::nullopt},
        {L"-2147483649", std::nullopt},
        {L"99999999999999999999", std::nullopt},
        {L"", std::nullopt},
        {L"-", std::nullopt},
        {L"+-1", std::nullopt},
        {L" 1", std::nullopt},
        {L"1 ", std::nullopt},
        {L"1a", std::nullopt},
        {L"1/", std::nullopt}, // the characters either side of the digits
        {L"1:", std::nullopt},
        {L"0x10", std::nullopt},
        {L"\xFF11", std::nullopt}, // full-width digit one
    };
    for (const Case& c : cases)
        EXPECT_EQ(core::TryParseWholeNumber(c.text), c.value) << core::ToUtf8(c.text);
}

TEST(WholeNumber, ParseQuotesTheTextWhenItFails) {
    EXPECT_EQ(core::ParseWholeNumber(L"-12"), -12);
    EXPECT_EQ(ConversionErrorMessage([] { core::ParseWholeNumber(L"1x"); }),
              "'1x' is not a valid whole number");
}
