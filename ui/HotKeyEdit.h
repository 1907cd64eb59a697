// A hot key editor ("msctls_hotkey32") holding a shortcut value. The user's
// changes raise OnChange; so do Backspace, Enter, Esc, Space, Delete and
// Ctrl+Tab, which become the combination themselves instead of editing it.
// Setting the value from the program raises nothing.
#pragma once

#include "core/ShortCut.h"
#include "ui/Control.h"

#include <functional>

namespace ui {

class THotKeyEdit : public TControl {
  public:
    THotKeyEdit(TComponent* owner, TControl* parent, const Bounds& bounds);

    core::ShortCut Value() const;
    void SetValue(core::ShortCut value);

    std::function<void()> OnChange;

    // Whether a key press is one the editor takes as a combination of its own
    // rather than an edit (ctrlDown: Ctrl is held).
    static bool IsLiteralKey(WPARAM key, bool ctrlDown);

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(WORD code) override;

  private:
    bool settingValue_ = false;
    bool swallowChar_ = false;
};

} // namespace ui
