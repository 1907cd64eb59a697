#include "ui/Dpi.h"

namespace ui {
namespace {

// Looked up at run time so the program still starts on systems that predate
// per-monitor DPI.
template <typename F> F UserFunction(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

} // namespace

UINT DpiForWindow(HWND window) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn getDpiForWindow = UserFunction<Fn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window))
            return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kBaseDpi;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    RECT rect{0, 0, clientWidth, clientHeight};
    using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const Fn adjustForDpi = UserFunction<Fn>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

} // namespace ui
