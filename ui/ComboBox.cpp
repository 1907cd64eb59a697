#include "ui/ComboBox.h"

#include "ui/Dpi.h"

namespace ui {
namespace {

// Room below the selection field for the open list.
constexpr int kDropDownHeight = 120;

} // namespace

TComboBox::TComboBox(TComponent* owner, TControl* parent, const Bounds& bounds,
                     const std::vector<std::wstring>& items)
    : TControl(owner, parent, bounds, false) {
    CreateHandle(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0);
    for (const auto& item : items)
        SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

RECT TComboBox::ScaledRect() const {
    RECT rect = TControl::ScaledRect();
    rect.bottom += Scale(kDropDownHeight, Dpi());
    return rect;
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

void TComboBox::SetItem(int index, const std::wstring& text) {
    if (index < 0 || index >= Count())
        return;
    const int selected = ItemIndex();
    SendMessageW(Handle(), CB_DELETESTRING, index, 0);
    SendMessageW(Handle(), CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    if (selected == index)
        SetItemIndex(selected);
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
    const int selected = ItemIndex();
    const int count = Count();
    for (int i = 0; i < count; ++i)
        SetItem(i, map(Item(i)));
    SetItemIndex(selected);
}

} // namespace ui
