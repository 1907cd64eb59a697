#include "core/LauncherAnswer.h"

#include "core/WebLink.h"

#include <optional>

namespace core::launcher {
namespace {

constexpr std::wstring_view kVersionHeader = L"User-Version: ";
constexpr std::wstring_view kDebugHeader = L"User-Debug: false";
constexpr wchar_t kHeaderSeparator = L'\r';
constexpr std::wstring_view kPathSeparators = L":\\/";
constexpr std::wstring_view kLinkMarker = L"\"update\":\"";
constexpr wchar_t kQuote = L'"';
constexpr wchar_t kBackslash = L'\\';
constexpr std::size_t kUnicodeDigits = 4;

std::optional<unsigned> HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a' + 10);
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A' + 10);
    return std::nullopt;
}

// The code unit of a \u escape's digits; nothing when a character is not a
// hexadecimal digit, when there are none, or when the value is 0.
std::optional<wchar_t> UnicodeUnit(std::wstring_view digits) {
    unsigned value = 0;
    for (const wchar_t c : digits) {
        const auto digit = HexDigit(c);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    if (value == 0)
        return std::nullopt;
    return static_cast<wchar_t>(value);
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

std::wstring RequestHeaders(std::wstring_view version) {
    std::wstring block(kVersionHeader);
    block += version;
    block += kHeaderSeparator;
    block += kDebugHeader;
    return block;
}

std::wstring SiblingPath(std::wstring_view modulePath, std::wstring_view fileName) {
    const std::size_t last = modulePath.find_last_of(kPathSeparators);
    std::wstring path(last == std::wstring_view::npos ? std::wstring_view()
                                                      : modulePath.substr(0, last + 1));
    path += fileName;
    return path;
}

std::wstring JsonUnescape(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != kBackslash) {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            break;
        if (text[i] == L'u') {
            const std::wstring_view digits = text.substr(i + 1, kUnicodeDigits);
            if (const auto unit = UnicodeUnit(digits))
                out += *unit;
            i += digits.size();
        } else if (const auto escaped = SimpleEscape(text[i])) {
            out += *escaped;
        }
    }
    return out;
}

std::wstring LinkInAnswer(std::wstring_view answer) {
    const std::size_t marker = answer.find(kLinkMarker);
    if (marker == std::wstring_view::npos)
        return {};
    const std::size_t start = marker + kLinkMarker.size();
    const std::size_t end = answer.find(kQuote, start);
    if (end == std::wstring_view::npos)
        return {};
    return JsonUnescape(answer.substr(start, end - start));
}

std::wstring OfferedLink(std::wstring_view answer) {
    std::wstring link = LinkInAnswer(answer);
    return IsWebLink(link) ? link : std::wstring();
}

bool AnswerBytes::Append(std::string_view chunk) {
    if (tooLarge_)
        return false;
    if (chunk.size() > kMaxAnswerBytes - bytes_.size()) {
        tooLarge_ = true;
        bytes_ = std::string();
        return false;
    }
    bytes_ += chunk;
    return true;
}

} // namespace core::launcher
