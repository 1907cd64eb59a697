// A captioned frame that parents other controls. Notifications of its
// children reach them through the base class's reflection.
#pragma once

#include "ui/Control.h"

namespace ui {

class TGroupBox : public TControl {
  public:
    TGroupBox(TComponent* owner, TControl* parent, const Bounds& bounds,
              const std::wstring& caption);

  protected:
    std::optional<LRESULT> OnCtlColor(HDC dc) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace ui
