// A read-only report list: rows of a caption and sub-item texts under column
// headers, single whole-row selection shown only while it has the focus, and
// an optional popup menu on right click or the menu key.
#pragma once

#include "ui/Control.h"

#include <string>
#include <vector>

namespace ui {

class TPopupMenu;

struct ListColumn {
    std::wstring caption;
    int width = 50; // 96-DPI pixels
};

class TListView : public TControl {
  public:
    TListView(TComponent* owner, TControl* parent, const Bounds& bounds,
              const std::vector<ListColumn>& columns);
    ~TListView() override;

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    std::wstring ColumnCaption(int column) const;
    void SetColumnCaption(int column, const std::wstring& caption);

    int Count() const;
    // Appends a row; returns its index.
    int AddRow(const std::vector<std::wstring>& texts);
    // Text of column 0 (the caption) or of a sub-item (column 1 and up).
    std::wstring Cell(int row, int column) const;
    void SetCell(int row, int column, const std::wstring& text);
    std::vector<std::wstring> Row(int row) const;
    void Delete(int row);
    void Clear();

    // -1 when no row is selected.
    int SelectedIndex() const;
    // Selects the row, makes it the focused row and scrolls it into view; -1
    // clears the selection.
    void Select(int row);

    // Suspend and resume drawing around bulk changes.
    void BeginUpdate();
    void EndUpdate();

    TPopupMenu* PopupMenu = nullptr;

    // The rows are the list's items.
    bool HasItems() const override { return true; }
    void MapItems(const TextMap& map) override;
    void MapHeaders(const TextMap& map) override;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ApplyDpi(UINT dpi) override;

  private:
    void ScrollIntoView(int row);

    std::vector<ListColumn> columns_;
    int updateDepth_ = 0;
};

} // namespace ui
