#include "ui/GroupBox.h"

namespace ui {

TGroupBox::TGroupBox(TComponent* owner, TControl* parent, const Bounds& bounds,
                     const std::wstring& caption)
    : TControl(owner, parent, bounds, true) {
    CreateHandle(L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, caption);
}

std::optional<LRESULT> TGroupBox::OnCtlColor(HDC dc) {
    SetBkColor(dc, BackgroundColor());
    SetTextColor(dc, Font().TextColor());
    return reinterpret_cast<LRESULT>(BackgroundBrush());
}

LRESULT TGroupBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        // The frame control paints only its frame and caption; the area
        // inside belongs to it and shows the background.
        RECT rect{};
        GetClientRect(Handle(), &rect);
        FillRect(reinterpret_cast<HDC>(wParam), &rect, BackgroundBrush());
        return 1;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

} // namespace ui
