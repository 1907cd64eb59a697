#include "ui/ComboBox.h"

#include <algorithm>

namespace ui {

// The window is as tall as the selection field: with common controls 6 the
// open list takes its height from its items (up to CB_GETMINVISIBLE of them),
// not from the window, and under Wine a taller window makes every start pay
// for a larger hidden list window.
TComboBox::TComboBox(TComponent* owner, TControl* parent, const Bounds& bounds,
                     const std::vector<std::wstring>& items)
    : TControl(owner, parent, bounds, false) {
    CreateHandle(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0);
    for (const auto& item : items)
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TComboBox::Count() const {
    return Handle() ? static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)) : 0;
}

std::vector<std::wstring> TComboBox::Items() const {
    std::vector<std::wstring> items;
    const int count = Count();
    for (int i = 0; i < count; ++i)
        items.push_back(Item(i));
    return items;
}

std::wstring TComboBox::Item(int index) const {
    if (index < 0 || index >= Count())
        return {};
    const LRESULT length = SendMessageW(Handle(), CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(Handle(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void TComboBox::SetItems(const std::vector<std::wstring>& texts) {
    const int selected = ItemIndex();
    const int count = std::min(Count(), static_cast<int>(texts.size()));
    // Without redrawing in between: the list would otherwise work out its
    // scroll bar after every single change.
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < count; ++i) {
        SendMessageW(Handle(), CB_DELETESTRING, i, 0);
        SendMessageW(Handle(), CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(texts[i].c_str()));
    }
    SetItemIndex(selected);
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TComboBox::ItemIndex() const {
    if (!Handle())
        return -1;
    const LRESULT index = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void TComboBox::SetItemIndex(int index) {
    if (Handle())
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring TComboBox::Text() const {
    return Item(ItemIndex());
}

LRESULT TComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR && OnKeyPress) {
        auto key = static_cast<wchar_t>(wParam);
        OnKeyPress(key);
        if (key == 0)
            return 0;
        wParam = key;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

void TComboBox::MapItems(const TextMap& map) {
    std::vector<std::wstring> texts = Items();
    for (std::wstring& text : texts)
        text = map(text);
    SetItems(texts);
}

} // namespace ui
