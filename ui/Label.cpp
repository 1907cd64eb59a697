#include "ui/Label.h"

#include "ui/Dpi.h"
#include "ui/Handles.h"

namespace ui {

TLabel::TLabel(TComponent* owner, TControl* parent, const Bounds& bounds,
               const std::wstring& caption, bool autoSize)
    : TControl(owner, parent, bounds, true), autoSize_(autoSize) {
    CreateHandle(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, caption);
    FitToText();
}

void TLabel::SetCaption(const std::wstring& caption) {
    TControl::SetCaption(caption);
    FitToText();
}

void TLabel::ApplyDpi(UINT dpi) {
    TControl::ApplyDpi(dpi);
    FitToText();
}

void TLabel::FitToText() {
    if (!autoSize_ || !Handle())
        return;
    const std::wstring text = Caption();
    HDC dc = GetDC(Handle());
    if (!dc)
        return;
    UniqueWindowDc release(dc, DcReleaser{Handle()});
    SelectGuard font(dc, FontHandle());
    RECT rect{0, 0, 0, 0};
    // An empty caption still takes one line of height.
    const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
    DrawTextW(dc, measured.c_str(), static_cast<int>(measured.size()), &rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int dpi = static_cast<int>(Dpi());
    ResizeToContent(MulDiv(rect.right - rect.left, kBaseDpi, dpi),
                    MulDiv(rect.bottom - rect.top, kBaseDpi, dpi));
}

std::optional<LRESULT> TLabel::OnCtlColor(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Font().TextColor());
    return reinterpret_cast<LRESULT>(Parent() ? Parent()->BackgroundBrush() : BackgroundBrush());
}

} // namespace ui
