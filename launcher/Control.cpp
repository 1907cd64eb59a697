#include "launcher/Control.h"

namespace launcher {
namespace {

constexpr wchar_t kAppClass[] = L"App";
constexpr wchar_t kFormClass[] = L"Form";

std::unique_ptr<TControl> NewControl(ControlKind kind, std::wstring_view caption,
                                     const TControl* parent) {
    auto control = std::make_unique<TControl>();
    control->Kind = kind;
    control->Caption = caption;
    control->ClassName = kind == ControlKind::App ? kAppClass : kFormClass;
    control->Parent = parent;
    return control;
}

} // namespace

std::unique_ptr<TControl> NewAppControl(std::wstring_view caption) {
    return NewControl(ControlKind::App, caption, nullptr);
}

std::unique_ptr<TControl> NewFormControl(const TControl& parent, std::wstring_view caption) {
    return NewControl(ControlKind::Form, caption, &parent);
}

TControl& SetSize(TControl& control, int width, int height) {
    if (width > 0)
        control.Width = width;
    if (height > 0)
        control.Height = height;
    return control;
}

void SetClassName(TControl& control, std::wstring_view name) {
    control.ClassName = name;
}

void Hide(TControl& control) {
    control.Visible = false;
    control.Style &= ~static_cast<DWORD>(WS_VISIBLE);
}

std::wstring GetCaption(const TControl& control) {
    return control.Caption;
}

HWND GetHandle(const TControl& control) {
    return control.Handle;
}

} // namespace launcher
