#include "ui/MaskEdit.h"

#include <algorithm>

namespace ui {

TMaskEdit::TMaskEdit(TComponent* owner, TControl* parent, const Bounds& bounds,
                     wchar_t timeSeparator)
    : TControl(owner, parent, bounds, false), mask_(timeSeparator) {
    CreateHandle(L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, mask_.Display());
    SendMessageW(Handle(), EM_LIMITTEXT, core::DelayMask::kLength, 0);
}

void TMaskEdit::SetText(const std::wstring& text) {
    mask_.SetText(text);
    Show(0);
}

std::pair<std::size_t, std::size_t> TMaskEdit::Selection() const {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const auto clamp = [](DWORD v) { return std::min<std::size_t>(v, core::DelayMask::kLength); };
    return {clamp(start), clamp(end)};
}

void TMaskEdit::Show(std::size_t caret) {
    if (!Handle())
        return;
    // Straight to the edit control: the text is already the mask's.
    DefaultProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(mask_.Display().c_str()));
    DefaultProc(EM_SETSEL, caret, caret);
}

LRESULT TMaskEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR: {
        const auto ch = static_cast<wchar_t>(wParam);
        const auto [start, end] = Selection();
        if (ch == VK_BACK) {
            Show(mask_.DeleteBackward(start, end));
            return 0;
        }
        if (ch < L' ') // Ctrl+C, Ctrl+V, Ctrl+X and the like
            return TControl::WindowProc(message, wParam, lParam);
        if (auto caret = mask_.TypeChar(start, end, ch))
            Show(*caret);
        else
            MessageBeep(MB_OK);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_DELETE) {
            const auto [start, end] = Selection();
            Show(mask_.DeleteForward(start, end));
            return 0;
        }
        break;
    case WM_PASTE: {
        std::wstring clip;
        if (OpenClipboard(Handle())) {
            if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
                    clip = text;
                    GlobalUnlock(data);
                }
            }
            CloseClipboard();
        }
        const auto [start, end] = Selection();
        Show(mask_.Paste(start, end, clip));
        return 0;
    }
    case WM_CUT: {
        const auto [start, end] = Selection();
        if (start == end)
            return 0;
        TControl::WindowProc(WM_COPY, 0, 0);
        Show(mask_.DeleteForward(start, end));
        return 0;
    }
    case WM_CLEAR: {
        const auto [start, end] = Selection();
        Show(mask_.DeleteForward(start, end));
        return 0;
    }
    case WM_UNDO:
    case EM_UNDO:
        return 0;
    case WM_SETTEXT:
        // Text set from outside goes through the mask like the program's own.
        mask_.SetText(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        DefaultProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(mask_.Display().c_str()));
        return TRUE;
    default:
        break;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

wchar_t LocaleTimeSeparator() {
    wchar_t buffer[8] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, buffer, 8);
    // The length includes the terminating null.
    return length == 2 ? buffer[0] : L':';
}

} // namespace ui
