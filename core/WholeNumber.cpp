#include "WholeNumber.h"

#include "ConversionError.h"

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

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = static_cast<std::uint16_t>(text[i]);
        // Text is UTF-16 code units; join surrogate pairs.
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

} // namespace core
