// A popup menu and its items. Items are components of the window with a
// Caption, so a window's translation covers them.
#pragma once

#include "ui/Component.h"
#include "ui/Handles.h"

#include <functional>
#include <string>
#include <vector>

namespace ui {

class TMenuItem;

class TPopupMenu : public TComponent {
  public:
    explicit TPopupMenu(TComponent* owner);
    HMENU Handle() const { return menu_.get(); }
    // Shows the menu at a screen position and runs the chosen item's OnClick.
    void Popup(int x, int y, HWND owner);
    const std::vector<TMenuItem*>& Items() const { return items_; }

  private:
    friend class TMenuItem;
    UniqueMenu menu_;
    std::vector<TMenuItem*> items_;
    UINT nextId_ = 1;
};

class TMenuItem : public TComponent {
  public:
    TMenuItem(TComponent* owner, TPopupMenu& menu, const std::wstring& caption);
    ~TMenuItem() override;

    bool HasCaption() const override { return true; }
    std::wstring Caption() const override { return caption_; }
    void SetCaption(const std::wstring& caption) override;
    UINT Id() const { return id_; }

    std::function<void()> OnClick;

  private:
    TPopupMenu& menu_;
    UINT id_;
    std::wstring caption_;
};

} // namespace ui
