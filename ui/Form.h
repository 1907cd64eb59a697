// A top-level window of fixed client size: centred on the primary monitor,
// re-laid out when it moves to a monitor of another DPI, with window timers
// and the events a main window needs (close query, hotkeys).
#pragma once

#include "ui/Control.h"

#include <functional>
#include <map>
#include <string>

namespace ui {

class TTimer;

// What a close request does: go ahead (the window is destroyed) or nothing.
enum class TCloseAction { Free, None };

struct FormOptions {
    const wchar_t* className = L"TForm";
    int clientWidth = 0; // 96-DPI client size
    int clientHeight = 0;
    bool minimizeBox = true;
    bool maximizeBox = false;
    bool sizeable = false;
    UINT iconResource = 0; // icon id in the program's resources, 0 for none
};

class TForm : public TControl {
  public:
    TForm(const FormOptions& options, const std::wstring& caption, const FontSpec& font);
    ~TForm() override;

    void Show(int showCommand = SW_SHOWNORMAL);
    // Asks the window to close, exactly as the title-bar close button does.
    void Close();
    bool Closed() const { return Handle() == nullptr; }

    COLORREF BackgroundColor() const override { return GetSysColor(COLOR_BTNFACE); }
    void ApplyDpi(UINT dpi) override;

    // Close request. The action comes as Free; None keeps the window open.
    std::function<void(TCloseAction& action)> OnClose;
    // The user's session ends (log off, shut down, restart): the process may
    // be ended at any moment after this returns, without a close. The session
    // end is never held up or refused.
    std::function<void()> OnSessionEnd;
    // WM_HOTKEY with its id.
    std::function<void(WPARAM id)> OnHotKey;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    friend class TTimer;
    UINT_PTR AddTimer(TTimer* timer);
    void RemoveTimer(UINT_PTR id);
    // The window rectangle, centred on the primary monitor, for a DPI.
    RECT CentredFrame(UINT dpi) const;

    FormOptions options_;
    DWORD style_;
    DWORD exStyle_;
    std::map<UINT_PTR, TTimer*> timers_;
    UINT_PTR nextTimerId_ = 1;
};

} // namespace ui
