#include "ui/Control.h"

#include "ui/Dpi.h"
#include "ui/Guard.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

namespace ui {
namespace {

int g_nextControlId = 1000;

// Window handle to control object. A plain map rather than window
// properties: property lookups cost a round trip to the window server under
// some Windows implementations, and every message of a control needs one.
std::unordered_map<HWND, TControl*>& ControlsByHandle() {
    static std::unordered_map<HWND, TControl*> controls;
    return controls;
}

} // namespace

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TControl* control = TControl::FromHandle(window);
    if (!control && message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        control = static_cast<TControl*>(create->lpCreateParams);
        if (control)
            control->Attach(window);
    }
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    return control->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK ControlSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TControl* control = TControl::FromHandle(window);
    if (!control)
        return DefWindowProcW(window, message, wParam, lParam);
    return control->Dispatch(message, wParam, lParam);
}

void RegisterControlClass(const wchar_t* className, HCURSOR cursor, UINT style) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, className, &wc))
        return;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = ControlWindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

TControl::TControl(TComponent* owner, TControl* parent, const Bounds& bounds, bool hasCaption)
    : TComponent(owner), parent_(parent), bounds_(bounds), hasCaption_(hasCaption) {
    if (parent_) {
        parent_->controls_.push_back(this);
        dpi_ = parent_->dpi_;
    }
}

TControl::~TControl() {
    if (handle_) {
        HWND window = handle_;
        Detach();
        DestroyWindow(window);
    }
    if (parent_)
        std::erase(parent_->controls_, this);
    for (TControl* child : controls_)
        child->parent_ = nullptr;
    if (brush_)
        DeleteObject(brush_);
}

TControl* TControl::FromHandle(HWND window) {
    const auto& controls = ControlsByHandle();
    const auto found = controls.find(window);
    return found == controls.end() ? nullptr : found->second;
}

void TControl::Attach(HWND window) {
    handle_ = window;
    ControlsByHandle()[window] = this;
}

void TControl::Subclass() {
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlSubclassProc)));
}

void TControl::Detach() {
    if (!handle_)
        return;
    if (original_ &&
        GetWindowLongPtrW(handle_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ControlSubclassProc))
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    ControlsByHandle().erase(handle_);
    original_ = nullptr;
    handle_ = nullptr;
}

RECT TControl::ScaledRect() const {
    const RECT rect{Scale(bounds_.left, dpi_), Scale(bounds_.top, dpi_),
                    Scale(bounds_.left + bounds_.width, dpi_),
                    Scale(bounds_.top + bounds_.height, dpi_)};
    return rect;
}

void TControl::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle,
                            const std::wstring& text) {
    const RECT rect = ScaledRect();
    const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_nextControlId++));
    HWND window =
        CreateWindowExW(exStyle, className, text.c_str(), style | WS_CHILD | WS_VISIBLE, rect.left,
                        rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        parent_ ? parent_->Handle() : nullptr, id, GetModuleHandleW(nullptr), this);
    if (!window)
        return;
    if (!handle_) {
        // A standard window class: route its messages through this object.
        Attach(window);
        Subclass();
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
}

void TControl::CreateTopLevel(const wchar_t* className, DWORD style, DWORD exStyle,
                              const std::wstring& text, const RECT& frame) {
    CreateWindowExW(exStyle, className, text.c_str(), style, frame.left, frame.top,
                    frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
}

LRESULT TControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = handle_;
    LRESULT result = 0;
    // An exception must never unwind through the system's frames.
    const bool completed = Guard([&] { result = WindowProc(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        Detach();
        if (!completed)
            result = DefWindowProcW(window, message, wParam, lParam);
    }
    return result;
}

LRESULT TControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Reflect(message, wParam, lParam, result))
        return result;
    return DefaultProc(message, wParam, lParam);
}

LRESULT TControl::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (original_)
        return CallWindowProcW(original_, handle_, message, wParam, lParam);
    return DefWindowProcW(handle_, message, wParam, lParam);
}

bool TControl::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (lParam) {
            if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
                if (child->OnCommand(HIWORD(wParam))) {
                    result = 0;
                    return true;
                }
            }
        }
        return false;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (TControl* child = header ? FromHandle(header->hwndFrom) : nullptr)
            return child->OnNotify(*header, result);
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (auto brush = child->OnCtlColor(reinterpret_cast<HDC>(wParam))) {
                result = *brush;
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

void TControl::SetBounds96(const Bounds& bounds) {
    bounds_ = bounds;
    if (handle_ && parent_) {
        const RECT rect = ScaledRect();
        MoveWindow(handle_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
    }
}

void TControl::ResizeToContent(int width96, int height96) {
    Bounds bounds = bounds_;
    bounds.width = width96;
    bounds.height = height96;
    SetBounds96(bounds);
}

bool TControl::Enabled() const {
    return handle_ && IsWindowEnabled(handle_);
}

void TControl::SetEnabled(bool enabled) {
    if (handle_)
        EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void TControl::SetFocus() {
    if (handle_)
        ::SetFocus(handle_);
}

const FontSpec& TControl::Font() const {
    static const FontSpec defaultFont;
    if (font_)
        return *font_;
    return parent_ ? parent_->Font() : defaultFont;
}

void TControl::SetFont(const FontSpec& font) {
    font_ = font;
    ApplyDpi(dpi_);
}

void TControl::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    if (handle_) {
        if (parent_) {
            const RECT rect = ScaledRect();
            MoveWindow(handle_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                       TRUE);
        }
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    }
    for (TControl* child : controls_)
        child->ApplyDpi(dpi);
}

COLORREF TControl::BackgroundColor() const {
    return parent_ ? parent_->BackgroundColor() : GetSysColor(COLOR_BTNFACE);
}

HBRUSH TControl::BackgroundBrush() const {
    const COLORREF color = BackgroundColor();
    if (!brush_ || brushColor_ != color) {
        if (brush_)
            DeleteObject(brush_);
        brush_ = CreateSolidBrush(color);
        brushColor_ = color;
    }
    return brush_;
}

std::wstring TControl::Caption() const {
    if (!handle_)
        return {};
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(handle_, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void TControl::SetCaption(const std::wstring& caption) {
    if (handle_)
        SetWindowTextW(handle_, caption.c_str());
}

LRESULT TCustomControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(Handle(), &ps);
        Paint(dc);
        EndPaint(Handle(), &ps);
        return 0;
    }
    default:
        return TControl::WindowProc(message, wParam, lParam);
    }
}

} // namespace ui
