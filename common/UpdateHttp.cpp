// One request to the update service over WinHTTP.
#include "common/Update.h"

#include "common/MimeCharset.h"
#include "core/AnswerText.h"
#include "core/WebLink.h"

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

namespace Orv {
namespace {

constexpr int kTimeoutMs = 60'000; // connect, send and receive
constexpr DWORD kMaxRedirects = 5;
constexpr DWORD kReadChunk = 16 * 1024;
constexpr wchar_t kUserAgentName[] = L"Mirvex/";
constexpr wchar_t kVersionPattern[] = L"%d.%d.%d.%d";

struct HttpHandleCloser {
    void operator()(HINTERNET handle) const {
        if (handle)
            WinHttpCloseHandle(handle);
    }
};
using HttpHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, HttpHandleCloser>;

struct Answer {
    std::string body;
    std::wstring contentType;
    bool tooLarge = false;
};

struct Address {
    std::wstring host;
    INTERNET_PORT port = 0;
    std::wstring pathAndQuery;
    bool secure = false;
};

std::optional<Address> CrackAddress(const std::wstring& url) {
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        !parts.lpszHostName || parts.dwHostNameLength == 0)
        return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return std::nullopt;
    Address address;
    address.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    address.port = parts.nPort;
    if (parts.lpszUrlPath)
        address.pathAndQuery.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo)
        address.pathAndQuery.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (address.pathAndQuery.empty())
        address.pathAndQuery = L"/";
    address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return address;
}

// A fresh session that honours the user's proxy settings where this Windows
// can (8.1 and later); older ones fall back to the machine's proxy setting.
HttpHandle OpenSession() {
    const std::wstring agent = kUserAgentName + FileVersionText(kVersionPattern);
    HttpHandle session(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        session.reset(WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (session && !WinHttpSetTimeouts(session.get(), 0, kTimeoutMs, kTimeoutMs, kTimeoutMs))
        session.reset();
    return session;
}

// The identification headers, in this order and no others.
std::wstring RequestHeaders(const std::wstring& lang, bool debug) {
    return L"User-Version: " + FileVersionText(kVersionPattern) + L"\r\nUser-Language: " + lang +
           L"\r\nUser-Debug: " + (debug ? L"true" : L"false") + L"\r\n";
}

std::wstring ContentType(HINTERNET request) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                        WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return {};
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                             value.data(), &size, WINHTTP_NO_HEADER_INDEX))
        return {};
    value.resize(size / sizeof(wchar_t));
    return value;
}

// Reads the body, but never more than the answer limit: a larger body is
// marked and left unread.
bool ReadBody(HINTERNET request, Answer& answer) {
    char chunk[kReadChunk];
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(request, chunk, sizeof(chunk), &read))
            return false;
        if (read == 0)
            return true;
        if (answer.body.size() + read > core::kMaxAnswerBytes) {
            answer.body.clear();
            answer.tooLarge = true;
            return true;
        }
        answer.body.append(chunk, read);
    }
}

std::optional<Answer> Fetch(const std::wstring& url, const std::wstring& headers) {
    const auto address = CrackAddress(url);
    if (!address)
        return std::nullopt;
    const HttpHandle session = OpenSession();
    if (!session)
        return std::nullopt;
    const HttpHandle connection(
        WinHttpConnect(session.get(), address->host.c_str(), address->port, 0));
    if (!connection)
        return std::nullopt;
    const HttpHandle request(WinHttpOpenRequest(
        connection.get(), L"GET", address->pathAndQuery.c_str(), nullptr, WINHTTP_NO_REFERER,
        WINHTTP_DEFAULT_ACCEPT_TYPES, address->secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
        return std::nullopt;
    DWORD redirects = kMaxRedirects;
    // Redirects are followed, but never from https to plain http: an answer
    // that came that way could have been written by anyone on the path.
    DWORD redirectPolicy = WINHTTP_OPTION_REDIRECT_POLICY_DISALLOW_HTTPS_TO_HTTP;
    if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                          sizeof(redirects)) ||
        !WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &redirectPolicy,
                          sizeof(redirectPolicy)) ||
        !WinHttpAddRequestHeaders(request.get(), headers.c_str(),
                                  static_cast<DWORD>(headers.size()), WINHTTP_ADDREQ_FLAG_ADD) ||
        !WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return std::nullopt;
    Answer answer;
    answer.contentType = ContentType(request.get());
    if (!ReadBody(request.get(), answer))
        return std::nullopt;
    return answer;
}

std::optional<std::wstring> DecodeCodePage(unsigned codePage, std::string_view bytes) {
    if (bytes.empty())
        return std::wstring();
    const int length =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

} // namespace

bool HttpGetText(const std::wstring& URL, const std::wstring& Lang, bool Debug,
                 std::wstring& Body) {
    try {
        const auto answer = Fetch(URL, RequestHeaders(Lang, Debug));
        if (!answer)
            return false;
        if (answer->tooLarge) {
            // Answered, but too large to be read: no update.
            Body.clear();
            return true;
        }
        auto text = core::DecodeAnswer(answer->body, answer->contentType, DecodeCodePage,
                                       MimeCharsetRecord);
        if (!text)
            return false;
        Body = std::move(*text);
        return true;
    } catch (const std::exception&) {
        return false; // out of memory and the like: a failed attempt
    }
}

} // namespace Orv
