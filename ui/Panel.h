// A painted panel: solid background (its own colour or the parent's), bevels
// and an optional caption drawn centred in its own font colour.
#pragma once

#include "ui/Control.h"

#include <functional>

namespace ui {

enum class Bevel { None, Lowered, Raised };

struct PanelStyle {
    COLORREF color = CLR_INVALID; // CLR_INVALID: show the parent's background
    Bevel outer = Bevel::None;
    Bevel inner = Bevel::None;
    bool bottomLine = false; // an etched line along the bottom edge only
};

class TPanel : public TCustomControl {
  public:
    static constexpr wchar_t kClassName[] = L"TPanel";

    TPanel(TComponent* owner, TControl* parent, const Bounds& bounds, const PanelStyle& style);

    COLORREF BackgroundColor() const override;
    void SetFontColor(COLORREF color);
    COLORREF FontColor() const { return Font().TextColor(); }
    void SetCaption(const std::wstring& caption) override;

    // Raised after each change of the caption or the font colour; lets a
    // caller observe the order of changes.
    std::function<void(const wchar_t* property)> OnChanged;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Paint(HDC dc) override;

  private:
    PanelStyle style_;
};

} // namespace ui
