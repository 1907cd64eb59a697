// The position text of a record row: X, a lower-case 'x', Y ("512x-20").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// "%dx%d".
std::wstring FormatPositionText(ScreenPoint point);

// Splits at the first lower-case 'x'; both sides must be whole numbers.
// Raises ConversionError otherwise.
ScreenPoint ParsePositionText(std::wstring_view text);

} // namespace core
