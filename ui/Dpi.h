// Layout sizes are kept as 96-DPI constants and scaled with the DPI of the
// monitor the window is on (the program is per-monitor DPI aware).
#pragma once

#include <windows.h>

namespace ui {

constexpr UINT kBaseDpi = 96;

inline int Scale(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), kBaseDpi);
}

// The window's DPI; 96 where the system cannot tell (older Windows).
UINT DpiForWindow(HWND window);

// The window rectangle that gives a client area of the given size for the
// style at this DPI.
RECT WindowRectForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

} // namespace ui
