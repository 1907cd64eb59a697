// The launcher's own client of the update service over WinINet: a direct
// connection (no proxy, not even the system's), a browser-like user agent,
// one GET that bypasses every cache, no retry and no time-out of its own.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>

namespace launcher {

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using UniqueInternetHandle = std::unique_ptr<void, InternetHandleCloser>;

class InternetSession {
  public:
    InternetSession();
    // False when WinINet could not be opened: no request can be made.
    explicit operator bool() const { return root_ != nullptr; }

    // One GET of `url` with `headers` (a block of lines joined by CR). The
    // answer, whatever its status, decoded one byte at a time through the
    // ANSI code page; empty when the request failed, when an https request
    // was answered over plain http after a redirect, and when the answer
    // was larger than the launcher reads.
    std::wstring Get(const std::wstring& url, const std::wstring& headers) const;

  private:
    UniqueInternetHandle root_;
};

} // namespace launcher
