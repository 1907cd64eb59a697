// MinimalWindow: register a class, create and show one window, run the
// message loop. The start-up benchmark times it beside Mirvex.exe, so the
// difference is what Mirvex itself adds on top of starting any window program
// under the same Wine and display.

#include "ShowAndRun.h"

#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"MirvexMinimalWindow";
constexpr wchar_t kTitle[] = L"Minimal Window";
constexpr int kWidth = 320;
constexpr int kHeight = 200;

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MinimalProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return 1;
    HWND window =
        CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    return ShowAndRun(window, show);
}
