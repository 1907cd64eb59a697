#include "ui/Button.h"

namespace ui {

TButton::TButton(TComponent* owner, TControl* parent, const Bounds& bounds,
                 const std::wstring& caption)
    : TControl(owner, parent, bounds, true) {
    CreateHandle(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, caption);
}

bool TButton::OnCommand(WORD code) {
    if (code != BN_CLICKED)
        return false;
    if (OnClick)
        OnClick();
    return true;
}

TCheckBox::TCheckBox(TComponent* owner, TControl* parent, const Bounds& bounds,
                     const std::wstring& caption)
    : TControl(owner, parent, bounds, true) {
    CreateHandle(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0, caption);
}

bool TCheckBox::Checked() const {
    return Handle() && SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
    if (Handle())
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::OnCommand(WORD code) {
    if (code != BN_CLICKED)
        return false;
    if (OnClick)
        OnClick();
    return true;
}

std::optional<LRESULT> TCheckBox::OnCtlColor(HDC dc) {
    SetBkColor(dc, Parent() ? Parent()->BackgroundColor() : BackgroundColor());
    SetTextColor(dc, Font().TextColor());
    return reinterpret_cast<LRESULT>(Parent() ? Parent()->BackgroundBrush() : BackgroundBrush());
}

} // namespace ui
