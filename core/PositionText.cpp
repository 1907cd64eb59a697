#include "PositionText.h"

#include "ConversionError.h"
#include "TextCodec.h"
#include "WholeNumber.h"

namespace core {

namespace {
constexpr wchar_t kAxisSeparator = L'x';
}

std::wstring FormatPositionText(ScreenPoint point) {
    return std::to_wstring(point.x) + kAxisSeparator + std::to_wstring(point.y);
}

ScreenPoint ParsePositionText(std::wstring_view text) {
    const std::size_t split = text.find(kAxisSeparator);
    if (split != std::wstring_view::npos) {
        const auto x = TryParseWholeNumber(text.substr(0, split));
        const auto y = TryParseWholeNumber(text.substr(split + 1));
        if (x && y)
            return {*x, *y};
    }
    throw ConversionError("'" + ToUtf8(text) + "' is not a valid position");
}

} // namespace core
