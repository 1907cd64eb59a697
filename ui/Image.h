// A picture with an alpha channel drawn over the parent's background and
// scaled with the DPI. A click on it raises OnClick.
#pragma once

#include "core/Png.h"
#include "ui/Control.h"
#include "ui/Handles.h"

#include <functional>

namespace ui {

class TImage : public TCustomControl {
  public:
    static constexpr wchar_t kClassName[] = L"TImage";

    TImage(TComponent* owner, TControl* parent, const Bounds& bounds, bool handCursor);

    // An empty picture draws nothing but the background.
    void SetPicture(const core::RgbaImage& picture);
    bool HasPicture() const { return bitmap_ != nullptr; }

    std::function<void()> OnClick;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Paint(HDC dc) override;

  private:
    UniqueBitmap bitmap_;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    bool pressed_ = false;
};

// Reads a PNG picture from the program's RCDATA resources; an empty picture
// when it is missing or unreadable.
core::RgbaImage LoadPngResource(const wchar_t* name);

} // namespace ui
