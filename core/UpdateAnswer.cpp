#include "core/UpdateAnswer.h"

#include "core/JsonEscape.h"
#include "core/WebLink.h"

namespace core {
namespace {

wchar_t UpperAscii(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

std::wstring UpperAscii(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = UpperAscii(c);
    return out;
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
    return UnescapeJsonString(Source, NullEscape::Keep);
}

std::wstring UpdateLink(std::wstring_view answer) {
    return JsonUnescape(ExtractBetween(answer, kUpdateMarker, kUpdateEndMarker));
}

std::wstring OfferedLink(std::wstring_view answer) {
    std::wstring link = UpdateLink(answer);
    return IsWebLink(link) ? link : std::wstring();
}

} // namespace core
