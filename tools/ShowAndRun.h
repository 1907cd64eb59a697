// Shows a top-level window, paints it and runs the message loop until it is
// destroyed: the end of every small window program among the tools.
#pragma once

#include <windows.h>

inline int ShowAndRun(HWND window, int show) {
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
