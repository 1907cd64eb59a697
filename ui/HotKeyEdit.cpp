#include "ui/HotKeyEdit.h"

#include <commctrl.h>

namespace ui {
namespace {

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

} // namespace

THotKeyEdit::THotKeyEdit(TComponent* owner, TControl* parent, const Bounds& bounds)
    : TControl(owner, parent, bounds, false) {
    CreateHandle(HOTKEY_CLASSW, WS_TABSTOP, WS_EX_CLIENTEDGE);
    // No combination is invalid beyond "none" and Shift alone, and nothing is
    // imposed on the user.
    SendMessageW(Handle(), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, 0);
    SetValue(0);
}

core::ShortCut THotKeyEdit::Value() const {
    if (!Handle())
        return 0;
    const auto word = static_cast<std::uint16_t>(SendMessageW(Handle(), HKM_GETHOTKEY, 0, 0));
    return core::ShortCutFromHotKeyWord(word);
}

void THotKeyEdit::SetValue(core::ShortCut value) {
    if (!Handle())
        return;
    settingValue_ = true;
    SendMessageW(Handle(), HKM_SETHOTKEY, core::HotKeyWordFromShortCut(value), 0);
    settingValue_ = false;
}

bool THotKeyEdit::IsLiteralKey(WPARAM key, bool ctrlDown) {
    switch (key) {
    case VK_BACK:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
    case VK_DELETE:
        return true;
    case VK_TAB:
        return ctrlDown;
    default:
        return false;
    }
}

bool THotKeyEdit::OnCommand(WORD code) {
    if (code != EN_CHANGE || settingValue_)
        return false;
    if (OnChange)
        OnChange();
    return true;
}

LRESULT THotKeyEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE: {
        // Keep these keys from the dialog manager (default button, cancel,
        // focus moves) so the editor receives them.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = TControl::WindowProc(message, wParam, lParam);
        if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) &&
            IsLiteralKey(msg->wParam, KeyDown(VK_CONTROL)))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (IsLiteralKey(wParam, KeyDown(VK_CONTROL))) {
            core::ShortCut value = static_cast<core::ShortCut>(wParam & 0xFF);
            if (KeyDown(VK_SHIFT))
                value |= core::kShortCutShift;
            if (KeyDown(VK_MENU))
                value |= core::kShortCutAlt;
            if (KeyDown(VK_CONTROL))
                value |= core::kShortCutCtrl;
            SetValue(value);
            swallowChar_ = true;
            if (OnChange)
                OnChange();
            return 0;
        }
        break;
    case WM_CHAR:
    case WM_SYSCHAR:
        if (swallowChar_) {
            swallowChar_ = false;
            return 0;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        swallowChar_ = false;
        break;
    default:
        break;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

} // namespace ui
