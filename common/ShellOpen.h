// Opening a web page or a program through the shell, for both programs
// (header only: the launcher links nothing of the main program's).
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace Orv {

// ShellExecuteW can hand its work to shell extensions, which run on COM, so
// the calling thread must first be in a single-threaded apartment with OLE1
// DDE off. The thread enters it at its first shell call, not at start: COM
// loads ole32 and the DLLs behind it, which the window does not need to come
// up. It then stays there until it ends, so that work the shell left behind
// in the apartment can finish.
inline void EnterShellApartment() {
    struct Apartment {
        const HRESULT entered =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        ~Apartment() {
            if (SUCCEEDED(entered))
                CoUninitialize();
        }
    };
    thread_local const Apartment apartment;
}

// Opens `target` with the verb "open", from the calling thread's shell
// apartment. A page or program that does not open is not reported.
inline void ShellOpen(const std::wstring& target, int show) {
    EnterShellApartment();
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, show);
}

} // namespace Orv
