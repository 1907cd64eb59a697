#include "ui/Panel.h"

#include "ui/Handles.h"

namespace ui {
namespace {

UINT EdgeFor(Bevel bevel, bool outer) {
    switch (bevel) {
    case Bevel::Lowered:
        return outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
    case Bevel::Raised:
        return outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
    case Bevel::None:
        break;
    }
    return 0;
}

} // namespace

TPanel::TPanel(TComponent* owner, TControl* parent, const Bounds& bounds, const PanelStyle& style)
    : TCustomControl(owner, parent, bounds, true), style_(style) {
    RegisterControlClass(kClassName);
    CreateHandle(kClassName, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
}

COLORREF TPanel::BackgroundColor() const {
    if (style_.color != CLR_INVALID)
        return style_.color;
    return TControl::BackgroundColor();
}

void TPanel::SetFontColor(COLORREF color) {
    FontSpec font = Font();
    font.color = color;
    SetFont(font);
    InvalidateRect(Handle(), nullptr, TRUE);
    if (OnChanged)
        OnChanged(L"FontColor");
}

void TPanel::SetCaption(const std::wstring& caption) {
    TControl::SetCaption(caption);
    InvalidateRect(Handle(), nullptr, TRUE);
    if (OnChanged)
        OnChanged(L"Caption");
}

void TPanel::Paint(HDC dc) {
    RECT rect{};
    GetClientRect(Handle(), &rect);
    FillRect(dc, &rect, BackgroundBrush());
    if (style_.bottomLine) {
        RECT line = rect;
        line.top = line.bottom - 2;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_BOTTOM);
    }
    if (const UINT outer = EdgeFor(style_.outer, true)) {
        DrawEdge(dc, &rect, outer, BF_RECT);
        InflateRect(&rect, -1, -1);
    }
    if (const UINT inner = EdgeFor(style_.inner, false)) {
        DrawEdge(dc, &rect, inner, BF_RECT);
        InflateRect(&rect, -1, -1);
    }
    const std::wstring caption = Caption();
    if (caption.empty())
        return;
    SelectGuard font(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Font().TextColor());
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT TPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        InvalidateRect(Handle(), nullptr, TRUE);
        return result;
    }
    return TCustomControl::WindowProc(message, wParam, lParam);
}

} // namespace ui
