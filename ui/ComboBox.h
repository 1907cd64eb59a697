// A drop-down list of fixed items. Typed characters go to OnKeyPress first;
// setting the key to 0 there discards it.
#pragma once

#include "ui/Control.h"

#include <functional>
#include <vector>

namespace ui {

class TComboBox : public TControl {
  public:
    TComboBox(TComponent* owner, TControl* parent, const Bounds& bounds,
              const std::vector<std::wstring>& items);

    int Count() const;
    std::vector<std::wstring> Items() const;
    std::wstring Item(int index) const;
    // Replaces the texts of the first items (as many as given, up to the
    // count) in one go, keeping the selected index.
    void SetItems(const std::vector<std::wstring>& texts);
    // -1 when nothing is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The selected item's text, empty when nothing is selected.
    std::wstring Text() const;

    std::function<void(wchar_t& key)> OnKeyPress;

    bool HasItems() const override { return true; }
    void MapItems(const TextMap& map) override;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace ui
