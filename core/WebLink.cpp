#include "core/WebLink.h"

namespace core {
namespace {

constexpr std::wstring_view kSchemes[] = {L"https://", L"http://"};

wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != prefix[i])
            return false;
    return true;
}

bool IsForbidden(wchar_t c) {
    return c <= L' ' || c == 0x7F || c == L'"' || c == L'\\' || (c >= 0x80 && c <= 0x9F);
}

} // namespace

bool IsWebLink(std::wstring_view link) {
    for (const wchar_t c : link)
        if (IsForbidden(c))
            return false;
    for (const auto scheme : kSchemes) {
        if (!StartsWithNoCase(link, scheme))
            continue;
        const std::wstring_view rest = link.substr(scheme.size());
        const std::size_t hostEnd = rest.find_first_of(L"/?#");
        const std::wstring_view host = rest.substr(0, hostEnd);
        // A host, and not only credentials or a port: it may not start
        // with '@' or ':'.
        return !host.empty() && host.front() != L'@' && host.front() != L':';
    }
    return false;
}

} // namespace core
