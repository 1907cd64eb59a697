#include "core/JsonEscape.h"

#include <optional>

namespace core {
namespace {

constexpr wchar_t kBackslash = L'\\';
constexpr std::size_t kMaxUnicodeDigits = 4;

std::optional<unsigned> HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A' + 10);
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a' + 10);
    return std::nullopt;
}

// The value of one to four hexadecimal digits; nothing when there are none
// or a character is not one.
std::optional<unsigned> HexValue(std::wstring_view digits) {
    if (digits.empty())
        return std::nullopt;
    unsigned value = 0;
    for (const wchar_t c : digits) {
        const auto digit = HexDigit(c);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    return value;
}

std::optional<wchar_t> SimpleEscape(wchar_t c) {
    switch (c) {
    case L'"':
    case L'\'':
    case L'/':
    case L'\\':
        return c;
    case L'b':
        return L'\b';
    case L'f':
        return L'\f';
    case L'n':
        return L'\n';
    case L'r':
        return L'\r';
    case L't':
        return L'\t';
    default:
        return std::nullopt;
    }
}

} // namespace

std::wstring UnescapeJsonString(std::wstring_view text, NullEscape nulls) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != kBackslash) {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            break; // a lone backslash at the end
        if (text[i] == L'u') {
            const std::wstring_view digits = text.substr(i + 1, kMaxUnicodeDigits);
            const auto value = HexValue(digits);
            if (value && (*value != 0 || nulls == NullEscape::Keep))
                out += static_cast<wchar_t>(*value);
            i += digits.size();
        } else if (const auto plain = SimpleEscape(text[i])) {
            out += *plain;
        }
    }
    return out;
}

} // namespace core
