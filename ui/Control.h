// Base of every window piece: one window handle, a place in the parent
// window, 96-DPI bounds scaled to the monitor's DPI, a font (its own or the
// parent's) and the notifications the parent window reflects back to it, so
// that each control class handles its own events.
#pragma once

#include "ui/Component.h"
#include "ui/Font.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace ui {

struct Bounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class TControl : public TComponent {
  public:
    ~TControl() override;

    HWND Handle() const { return handle_; }
    TControl* Parent() const { return parent_; }
    const std::vector<TControl*>& Controls() const { return controls_; }

    const Bounds& Bounds96() const { return bounds_; }
    void SetBounds96(const Bounds& bounds);

    bool Enabled() const;
    void SetEnabled(bool enabled);
    void SetFocus();

    // The control's own font, or its parent's when it has none.
    const FontSpec& Font() const;
    void SetFont(const FontSpec& font);
    HFONT FontHandle() const { return FontFor(Font(), dpi_); }

    UINT Dpi() const { return dpi_; }
    // Re-lays the control and its children out for a DPI.
    virtual void ApplyDpi(UINT dpi);

    // The colour child controls paint their background with.
    virtual COLORREF BackgroundColor() const;
    HBRUSH BackgroundBrush() const;

    // Caption = window text, for the control classes that show one.
    bool HasCaption() const override { return hasCaption_; }
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;

    static TControl* FromHandle(HWND window);

  protected:
    TControl(TComponent* owner, TControl* parent, const Bounds& bounds, bool hasCaption);

    // Creates the window. Standard classes are subclassed (their procedure is
    // replaced by one that routes through this object); classes registered
    // with RegisterControlClass dispatch to WindowProc directly.
    void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle,
                      const std::wstring& text = {});
    // Top-level windows: no parent, at the given window rectangle.
    void CreateTopLevel(const wchar_t* className, DWORD style, DWORD exStyle,
                        const std::wstring& text, const RECT& frame);

    // Every message of the window. The default hands notifications from child
    // controls back to those controls, then calls DefaultProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Reflected notifications (from this control's parent window).
    virtual bool OnCommand(WORD /*code*/) { return false; }
    virtual bool OnNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    // WM_CTLCOLOR* for this control: a brush to paint with, or nothing for the
    // system's default.
    virtual std::optional<LRESULT> OnCtlColor(HDC /*dc*/) { return std::nullopt; }

    // Window rectangle of the control at the current DPI, in parent client
    // coordinates.
    RECT ScaledRect() const;

    void ResizeToContent(int width96, int height96);
    void SetDpiOnly(UINT dpi) { dpi_ = dpi; }

  private:
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK ControlSubclassProc(HWND, UINT, WPARAM, LPARAM);
    static bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Attach(HWND window);
    void Subclass();
    void Detach();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    TControl* parent_;
    std::vector<TControl*> controls_;
    Bounds bounds_;
    bool hasCaption_;
    std::optional<FontSpec> font_;
    HWND handle_ = nullptr;
    WNDPROC original_ = nullptr; // the standard class's procedure, when subclassed
    UINT dpi_ = 96;
    mutable COLORREF brushColor_ = CLR_INVALID;
    mutable HBRUSH brush_ = nullptr;
};

// A control of a class registered with RegisterControlClass that draws
// itself: the whole client area in Paint, with no separate erase.
class TCustomControl : public TControl {
  protected:
    using TControl::TControl;
    virtual void Paint(HDC dc) = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Window procedure of the classes registered below and of forms.
LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers a window class whose windows are TControl objects (the object is
// passed as the creation parameter). Safe to call repeatedly.
void RegisterControlClass(const wchar_t* className, HCURSOR cursor = nullptr,
                          UINT style = CS_HREDRAW | CS_VREDRAW);

} // namespace ui
