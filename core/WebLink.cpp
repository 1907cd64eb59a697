#include "core/WebLink.h"

namespace core {
namespace {

constexpr std::wstring_view kSecureScheme = L"https://";
constexpr std::wstring_view kSchemes[] = {kSecureScheme, L"http://"};

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

constexpr wchar_t kFirstPrintable = 0x21;
constexpr wchar_t kLastPrintable = 0x7E;

bool IsAllowed(wchar_t c) {
    return c >= kFirstPrintable && c <= kLastPrintable && c != L'"' && c != L'\\';
}

} // namespace

bool IsWebLink(std::wstring_view link) {
    if (link.size() > kMaxWebLinkLength)
        return false;
    for (const wchar_t c : link)
        if (!IsAllowed(c))
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

bool IsSecureAddress(std::wstring_view address) {
    return StartsWithNoCase(address, kSecureScheme);
}

} // namespace core
