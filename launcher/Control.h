// The launcher's window objects: an application object and one form under
// it. They carry the caption and the owner window of the launcher's message
// boxes and nothing else. The launcher never asks for an operating-system
// window, so this layer keeps them as plain data: no window class is
// registered, no window is created, and the handle stays null.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

namespace launcher {

enum class ControlKind { App, Form };

struct TControl {
    ControlKind Kind = ControlKind::App;
    std::wstring Caption;
    int Width = 0;
    int Height = 0;
    // The window class a window would be created with.
    std::wstring ClassName;
    // Kept in step with the WS_VISIBLE bit of Style.
    bool Visible = false;
    DWORD Style = 0;
    const TControl* Parent = nullptr;
    HWND Handle = nullptr;
};

std::unique_ptr<TControl> NewAppControl(std::wstring_view caption);
std::unique_ptr<TControl> NewFormControl(const TControl& parent, std::wstring_view caption);

// Sets each side that is greater than 0; a side of 0 or less stays as it was.
TControl& SetSize(TControl& control, int width, int height);
void SetClassName(TControl& control, std::wstring_view name);
void Hide(TControl& control);

std::wstring GetCaption(const TControl& control);
HWND GetHandle(const TControl& control);

} // namespace launcher
