// A static text sized to its caption, drawn on its parent's background.
#pragma once

#include "ui/Control.h"

namespace ui {

class TLabel : public TControl {
  public:
    TLabel(TComponent* owner, TControl* parent, const Bounds& bounds, const std::wstring& caption,
           bool autoSize = true);

    void SetCaption(const std::wstring& caption) override;
    void ApplyDpi(UINT dpi) override;

  protected:
    std::optional<LRESULT> OnCtlColor(HDC dc) override;

  private:
    void FitToText();
    bool autoSize_;
};

} // namespace ui
