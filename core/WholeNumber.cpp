#include "WholeNumber.h"

#include "ConversionError.h"
#include "TextCodec.h"

#include <limits>

namespace core {

std::optional<std::int32_t> TryParseWholeNumber(std::wstring_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    if (pos == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; pos < text.size(); ++pos) {
        const wchar_t ch = text[pos];
        if (ch < L'0' || ch > L'9')
            return std::nullopt;
        value = value * 10 + (ch - L'0');
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t ParseWholeNumber(std::wstring_view text) {
    if (auto value = TryParseWholeNumber(text))
        return *value;
    throw ConversionError("'" + ToUtf8(text) + "' is not a valid whole number");
}

} // namespace core
