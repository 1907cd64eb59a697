#include "core/UpdateAnswer.h"

#include "core/WebLink.h"

#include <optional>

namespace core {
namespace {

constexpr std::size_t kMaxUnicodeDigits = 4;

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring UpperAscii(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = UpperAscii(c);
    return out;
}

std::optional<unsigned> HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A' + 10);
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a' + 10);
    return std::nullopt;
}

// One code unit from up to four hexadecimal digits; nothing when there are
// no digits or any character is not one.
std::optional<wchar_t> HexCodeUnit(std::wstring_view digits) {
    if (digits.empty())
        return std::nullopt;
    unsigned value = 0;
    for (const wchar_t c : digits) {
        const auto digit = HexDigit(c);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
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

std::wstring ExtractBetween(std::wstring_view Source, std::wstring_view StartMarker,
                            std::wstring_view EndMarker) {
    if (StartMarker.empty() || EndMarker.empty())
        return {};
    std::wstring search = UpperAscii(Source);
    const std::wstring start = UpperAscii(StartMarker);
    const std::wstring end = UpperAscii(EndMarker);
    if (end == L"\"" || end == L"'") {
        // "\" + quote becomes two backslashes: same length, no quote left.
        for (std::size_t i = 0; i + 1 < search.size(); ++i) {
            if (search[i] == L'\\' && search[i + 1] == end[0]) {
                search[i + 1] = L'\\';
                ++i;
            }
        }
    }
    const std::size_t found = search.find(start);
    if (found == std::wstring::npos)
        return {};
    const std::size_t begin = found + start.size();
    const std::size_t stop = search.find(end, begin);
    if (stop == std::wstring::npos)
        return {};
    return std::wstring(Source.substr(begin, stop - begin));
}

std::wstring JsonUnescape(std::wstring_view Source) {
    std::wstring out;
    out.reserve(Source.size());
    for (std::size_t i = 0; i < Source.size(); ++i) {
        if (Source[i] != L'\\') {
            out += Source[i];
            continue;
        }
        if (++i == Source.size())
            break; // a lone backslash at the end
        if (Source[i] == L'u') {
            const std::wstring_view digits = Source.substr(i + 1, kMaxUnicodeDigits);
            if (const auto unit = HexCodeUnit(digits))
                out += *unit;
            i += digits.size();
        } else if (const auto plain = SimpleEscape(Source[i])) {
            out += *plain;
        }
    }
    return out;
}

std::wstring UpdateLink(std::wstring_view answer) {
    return JsonUnescape(ExtractBetween(answer, kUpdateMarker, kUpdateEndMarker));
}

std::wstring OfferedLink(std::wstring_view answer) {
    std::wstring link = UpdateLink(answer);
    return IsWebLink(link) ? link : std::wstring();
}

} // namespace core
