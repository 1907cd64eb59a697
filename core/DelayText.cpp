#include "DelayText.h"

#include "ConversionError.h"
#include "TextCodec.h"
#include "WholeNumber.h"

#include <algorithm>
#include <array>

namespace core {

namespace {

constexpr std::size_t kPairLength = 2;

struct DelayField {
    std::size_t offset;
    std::int32_t millisecondsPerUnit;
};

// Hours, minutes, seconds, milliseconds (0-based offsets).
constexpr std::array<DelayField, 4> kDelayFields{{
    {0, 3'600'000},
    {3, 60'000},
    {6, 1'000},
    {9, 1},
}};

bool IsAllDigits(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](wchar_t ch) { return ch >= L'0' && ch <= L'9'; });
}

} // namespace

std::wstring NormalizeDelayText(std::wstring_view text) {
    std::wstring out(text);
    std::replace(out.begin(), out.end(), L' ', L'0');
    return out;
}

// Pairs are digits only: TryParseWholeNumber alone would let a sign through,
// and a delay is never negative. Two digits per field keep the total within
// 99 h 99 min 99 s 99 ms, far inside the 32-bit range.
std::int32_t DelayToMilliseconds(std::wstring_view text) {
    std::int32_t total = 0;
    for (const DelayField& field : kDelayFields) {
        const std::wstring_view pair = field.offset < text.size()
                                           ? text.substr(field.offset, kPairLength)
                                           : std::wstring_view{};
        const auto value = IsAllDigits(pair) ? TryParseWholeNumber(pair) : std::nullopt;
        if (!value)
            throw ConversionError("'" + ToUtf8(text) + "' is not a valid delay");
        total += *value * field.millisecondsPerUnit;
    }
    return total;
}

} // namespace core
