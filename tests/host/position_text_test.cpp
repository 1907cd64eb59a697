#include "core/PositionText.h"
#include "core/TextCodec.h"

#include "ConversionCheck.h"
#include "core/WholeNumber.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using core::ScreenPoint;

TEST(PositionText, FormatsBothSignsAndRoundTrips) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::vector<std::pair<ScreenPoint, std::wstring>> cases = {
        {{512, -20}, L"512x-20"},
        {{-1280, 200}, L"-1280x200"},
        {{0, 0}, L"0x0"},
        {{kMin, kMax}, L"-2147483648x2147483647"},
    };
    for (const auto& [point, text] : cases) {
        EXPECT_EQ(core::FormatPositionText(point), text);
        EXPECT_EQ(core::ParsePositionText(text), point);
    }
}

TEST(PositionText, ParseAcceptsWhatWholeNumbersAccept) {
    EXPECT_EQ(core::ParsePositionText(L"+5x007"), (ScreenPoint{5, 7}));
}

TEST(PositionText, RejectsMalformedTextNamingIt) {
    const std::vector<std::wstring> bad = {
        L"",    L"x",   L"12",  L"12X5",         L"12x",  L"x5",       L"1 x 2", L"1x2x3",
        L"ax1", L"1x-", L"1,2", L"2147483648x0", L"1x2 ", L"\xFF11x1", // full-width digit
    };
    for (const std::wstring& text : bad) {
        const std::string message = ConversionErrorMessage([&] { core::ParsePositionText(text); });
        EXPECT_EQ(message, "'" + core::ToUtf8(text) + "' is not a valid position");
    }
}
