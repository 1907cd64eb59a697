#include "ui/PopupMenu.h"

#include <algorithm>

namespace ui {

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), menu_(CreatePopupMenu()) {}

void TPopupMenu::Popup(int x, int y, HWND owner) {
    const UINT id = static_cast<UINT>(
        TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       x, y, 0, owner, nullptr));
    if (id == 0)
        return;
    for (TMenuItem* item : items_) {
        if (item->Id() == id && item->OnClick) {
            item->OnClick();
            return;
        }
    }
}

TMenuItem::TMenuItem(TComponent* owner, TPopupMenu& menu, const std::wstring& caption)
    : TComponent(owner), menu_(menu), id_(menu.nextId_++), caption_(caption) {
    AppendMenuW(menu_.Handle(), MF_STRING, id_, caption_.c_str());
    menu_.items_.push_back(this);
}

TMenuItem::~TMenuItem() {
    DeleteMenu(menu_.Handle(), id_, MF_BYCOMMAND);
    std::erase(menu_.items_, this);
}

void TMenuItem::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    ModifyMenuW(menu_.Handle(), id_, MF_BYCOMMAND | MF_STRING, id_, caption_.c_str());
}

} // namespace ui
