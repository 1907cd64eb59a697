#include "core/Hosts.h"

#include "BuildConfig.h"

#include <cstdlib>

namespace core {
namespace {

constexpr std::wstring_view kSchemes[] = {L"https://", L"http://"};
constexpr std::size_t kMaxPortDigits = 5;

bool IsHostChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'.' || c == L'-';
}

// The environment variable's value; only ASCII can name a valid host, so
// anything else is dropped and makes the value invalid.
std::wstring Environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value)
        return {};
    std::wstring out;
    for (const char* p = value; *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        out += byte < 0x80 ? static_cast<wchar_t>(byte) : L'\uFFFD';
    }
    return out;
}

} // namespace

bool IsServiceHost(std::wstring_view text) {
    std::wstring_view rest;
    for (const auto scheme : kSchemes) {
        if (text.substr(0, scheme.size()) == scheme) {
            rest = text.substr(scheme.size());
            break;
        }
    }
    if (rest.empty())
        return false;
    if (rest.back() == L'/')
        rest.remove_suffix(1);
    const std::size_t colon = rest.find(L':');
    const std::wstring_view host = rest.substr(0, colon);
    if (host.empty())
        return false;
    for (const wchar_t c : host)
        if (!IsHostChar(c))
            return false;
    if (colon == std::wstring_view::npos)
        return true;
    const std::wstring_view port = rest.substr(colon + 1);
    if (port.empty() || port.size() > kMaxPortDigits)
        return false;
    for (const wchar_t c : port)
        if (c < L'0' || c > L'9')
            return false;
    return true;
}

std::wstring ChooseHost(std::wstring_view candidate, std::wstring_view fallback) {
    if (!IsServiceHost(candidate))
        return std::wstring(fallback);
    if (candidate.back() == L'/')
        candidate.remove_suffix(1);
    return std::wstring(candidate);
}

std::wstring WebHost() {
    return ChooseHost(Environment(kWebHostVariable), MIRVEX_DEFAULT_WEB_HOST);
}

std::wstring LinkHost() {
    return ChooseHost(Environment(kLinkHostVariable), MIRVEX_DEFAULT_LINK_HOST);
}

std::wstring UpdateServiceUrl() {
    return WebHost() + kUpdateServicePath;
}

std::wstring HomePageUrl() {
    return WebHost();
}

std::wstring ProductPageUrl() {
    return LinkHost() + kProductPagePath;
}

} // namespace core
