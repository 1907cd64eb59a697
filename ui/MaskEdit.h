// The delay editor: an edit control whose keyboard, paste and cut input goes
// through the delay mask, so it always shows eleven characters with fixed
// separators and digits only.
#pragma once

#include "core/DelayMask.h"
#include "ui/Control.h"

namespace ui {

class TMaskEdit : public TControl {
  public:
    TMaskEdit(TComponent* owner, TControl* parent, const Bounds& bounds, wchar_t timeSeparator);

    // Reading: every digit that shows '0' comes back as a space.
    std::wstring Text() const { return mask_.Text(); }
    void SetText(const std::wstring& text);
    // What the control shows.
    const std::wstring& DisplayText() const { return mask_.Display(); }

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Show(std::size_t caret);
    std::pair<std::size_t, std::size_t> Selection() const;
    core::DelayMask mask_;
};

// The time separator of the user's locale, ':' when it is not one character.
wchar_t LocaleTimeSeparator();

} // namespace ui
