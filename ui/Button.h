// Push button and check box.
#pragma once

#include "ui/Control.h"

#include <functional>

namespace ui {

class TButton : public TControl {
  public:
    TButton(TComponent* owner, TControl* parent, const Bounds& bounds, const std::wstring& caption);
    std::function<void()> OnClick;

  protected:
    bool OnCommand(WORD code) override;
};

class TCheckBox : public TControl {
  public:
    TCheckBox(TComponent* owner, TControl* parent, const Bounds& bounds,
              const std::wstring& caption);
    bool Checked() const;
    void SetChecked(bool checked);
    std::function<void()> OnClick;

  protected:
    bool OnCommand(WORD code) override;
    std::optional<LRESULT> OnCtlColor(HDC dc) override;
};

} // namespace ui
