#include "launcher/WebClient.h"

#include "core/LauncherAnswer.h"
#include "core/WebLink.h"

#include <string_view>

namespace launcher {
namespace {

constexpr char kUserAgent[] = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 "
                              "(KHTML, like Gecko) Chrome/115.0.0.0 Safari/537.36";
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr DWORD kReadSize = 1025;
constexpr UINT kUtf8CodePage = 65001;
// A byte yields at most a surrogate pair.
constexpr int kMaxUnitsPerByte = 2;

// Each byte on its own through the ANSI code page: a character of several
// bytes is never decoded as one.
std::wstring DecodeBytewise(std::string_view bytes) {
    const UINT codePage = GetACP();
    const DWORD flags = codePage == kUtf8CodePage ? 0 : MB_PRECOMPOSED;
    std::wstring text;
    text.reserve(bytes.size());
    for (const char& byte : bytes) {
        wchar_t units[kMaxUnitsPerByte] = {};
        const int count = MultiByteToWideChar(codePage, flags, &byte, 1, units, kMaxUnitsPerByte);
        text.append(units, static_cast<std::size_t>(count > 0 ? count : 0));
    }
    return text;
}

// The address the answer finally came from, after any redirects.
std::wstring AnsweringAddress(HINTERNET request) {
    DWORD size = 0;
    InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &size);
    if (size == 0)
        return {};
    std::wstring address(size / sizeof(wchar_t), L'\0');
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, address.data(), &size))
        return {};
    address.resize(address.find(L'\0')); // what came back may be shorter
    return address;
}

} // namespace

InternetSession::InternetSession()
    : root_(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)) {}

std::wstring InternetSession::Get(const std::wstring& url, const std::wstring& headers) const {
    if (!root_)
        return {};
    const UniqueInternetHandle request{
        InternetOpenUrlW(static_cast<HINTERNET>(root_.get()), url.c_str(), headers.c_str(),
                         static_cast<DWORD>(headers.size()), kRequestFlags, 0)};
    if (!request)
        return {};
    // WinINet may follow a redirect from https to plain http; an answer
    // that came that way could have been written by anyone on the path.
    if (core::IsSecureAddress(url) && !core::IsSecureAddress(AnsweringAddress(request.get())))
        return {};
    core::launcher::AnswerBytes answer;
    char buffer[kReadSize];
    while (true) {
        // A failed read leaves the count at 0 and ends the answer like its end.
        DWORD read = 0;
        InternetReadFile(static_cast<HINTERNET>(request.get()), buffer, kReadSize, &read);
        if (read == 0 || !answer.Append(std::string_view(buffer, read)))
            break;
    }
    return DecodeBytewise(answer.Bytes());
}

} // namespace launcher
