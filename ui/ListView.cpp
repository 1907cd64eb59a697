#include "ui/ListView.h"

#include "ui/Dpi.h"
#include "ui/PopupMenu.h"

#include <commctrl.h>

namespace ui {

TListView::TListView(TComponent* owner, TControl* parent, const Bounds& bounds,
                     const std::vector<ListColumn>& columns)
    : TControl(owner, parent, bounds, false), columns_(columns) {
    CreateHandle(WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(Handle(), LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int i = 0; i < ColumnCount(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = columns_[i].caption.data();
        column.cx = Scale(columns_[i].width, Dpi());
        column.iSubItem = i;
        ListView_InsertColumn(Handle(), i, &column);
    }
}

void TListView::ApplyDpi(UINT dpi) {
    TControl::ApplyDpi(dpi);
    for (int i = 0; i < ColumnCount(); ++i)
        ListView_SetColumnWidth(Handle(), i, Scale(columns_[i].width, dpi));
}

std::wstring TListView::ColumnCaption(int column) const {
    if (column < 0 || column >= ColumnCount())
        return {};
    return columns_[column].caption;
}

void TListView::SetColumnCaption(int column, const std::wstring& caption) {
    if (column < 0 || column >= ColumnCount())
        return;
    columns_[column].caption = caption;
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = columns_[column].caption.data();
    ListView_SetColumn(Handle(), column, &lvc);
}

int TListView::Count() const {
    return Handle() ? ListView_GetItemCount(Handle()) : 0;
}

int TListView::AddRow(const std::vector<std::wstring>& texts) {
    std::wstring caption = texts.empty() ? std::wstring() : texts[0];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = caption.data();
    const int row = ListView_InsertItem(Handle(), &item);
    if (row < 0)
        return row;
    for (std::size_t i = 1; i < texts.size(); ++i)
        SetCell(row, static_cast<int>(i), texts[i]);
    return row;
}

std::wstring TListView::Cell(int row, int column) const {
    if (row < 0 || row >= Count())
        return {};
    // Grow the buffer until the text fits.
    for (std::size_t size = 64;; size *= 4) {
        std::wstring text(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(size);
        const auto length = static_cast<std::size_t>(
            SendMessageW(Handle(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < size || size > (1u << 20)) {
            text.resize(std::min(length, size));
            return text;
        }
    }
}

void TListView::SetCell(int row, int column, const std::wstring& text) {
    std::wstring copy = text;
    ListView_SetItemText(Handle(), row, column, copy.data());
}

std::vector<std::wstring> TListView::Row(int row) const {
    std::vector<std::wstring> texts;
    for (int column = 0; column < ColumnCount(); ++column)
        texts.push_back(Cell(row, column));
    return texts;
}

void TListView::Delete(int row) {
    if (row >= 0 && row < Count())
        ListView_DeleteItem(Handle(), row);
}

void TListView::Clear() {
    BeginUpdate();
    ListView_DeleteAllItems(Handle());
    EndUpdate();
}

TListView::~TListView() {
    // Emptied without drawing first: a list destroyed with thousands of rows
    // would otherwise repaint after each one it drops.
    if (Handle()) {
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
        ListView_DeleteAllItems(Handle());
    }
}

int TListView::SelectedIndex() const {
    return Handle() ? ListView_GetNextItem(Handle(), -1, LVNI_SELECTED) : -1;
}

void TListView::Select(int row) {
    constexpr UINT kSelectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;
    if (row < 0 || row >= Count()) {
        ListView_SetItemState(Handle(), -1, 0, kSelectedAndFocused);
        return;
    }
    ScrollIntoView(row);
    // The list allows one selected row and has one focused row, so this
    // takes both from the row that had them.
    ListView_SetItemState(Handle(), row, kSelectedAndFocused, kSelectedAndFocused);
}

void TListView::ScrollIntoView(int row) {
    // A row below or above the visible ones comes to the top, so a walk down
    // the list scrolls once a page rather than at every row: each scroll
    // redraws the list, which under Wine takes milliseconds of the click
    // step that moved the selection.
    const int top = ListView_GetTopIndex(Handle());
    if (row >= top && row < top + ListView_GetCountPerPage(Handle()))
        return;
    RECT rect{};
    if (ListView_GetItemRect(Handle(), top, &rect, LVIR_BOUNDS))
        ListView_Scroll(Handle(), 0, (row - top) * (rect.bottom - rect.top));
    ListView_EnsureVisible(Handle(), row, FALSE);
}

void TListView::BeginUpdate() {
    if (updateDepth_++ == 0)
        SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
    if (updateDepth_ == 0 || --updateDepth_ > 0)
        return;
    SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT TListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU && PopupMenu) {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (lParam == -1) {
            // From the keyboard: open at the selected row, or the list's corner.
            RECT rect{};
            const int row = SelectedIndex();
            if (row < 0 || !ListView_GetItemRect(Handle(), row, &rect, LVIR_LABEL))
                rect = RECT{0, 0, 0, 0};
            point = POINT{rect.left, rect.bottom};
            ClientToScreen(Handle(), &point);
        }
        PopupMenu->Popup(point.x, point.y, Handle());
        return 0;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

void TListView::MapItems(const TextMap& map) {
    const int selected = SelectedIndex();
    const int count = Count();
    for (int row = 0; row < count; ++row)
        for (int column = 0; column < ColumnCount(); ++column)
            SetCell(row, column, map(Cell(row, column)));
    if (selected >= 0)
        Select(selected);
}

void TListView::MapHeaders(const TextMap& map) {
    for (int column = 0; column < ColumnCount(); ++column)
        SetColumnCaption(column, map(ColumnCaption(column)));
}

} // namespace ui
