#include "ui/Form.h"

#include "ui/Dpi.h"
#include "ui/Guard.h"
#include "ui/Messages.h"
#include "ui/Timer.h"

namespace ui {

TForm::TForm(const FormOptions& options, const std::wstring& caption, const FontSpec& font)
    : TControl(nullptr, nullptr, Bounds{0, 0, options.clientWidth, options.clientHeight}, true),
      options_(options) {
    style_ = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (options.minimizeBox)
        style_ |= WS_MINIMIZEBOX;
    if (options.maximizeBox)
        style_ |= WS_MAXIMIZEBOX;
    if (options.sizeable)
        style_ |= WS_THICKFRAME;
    exStyle_ = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

    WNDCLASSEXW wc{};
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!GetClassInfoExW(instance, options.className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ControlWindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = options.className;
        if (options.iconResource) {
            wc.hIcon =
                static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(options.iconResource),
                                              IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
            wc.hIconSm = static_cast<HICON>(LoadImageW(
                instance, MAKEINTRESOURCEW(options.iconResource), IMAGE_ICON,
                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        }
        RegisterClassExW(&wc);
    }
    SetFont(font);
    // Created where it opens, centred on the primary monitor, at the size for
    // the DPI it will most likely have there: the system DPI, the best known
    // before the window exists. Each move of a top-level window costs a trip
    // to the window server; it is placed again only when its own DPI differs.
    const UINT expected = DpiForWindow(nullptr);
    SetDpiOnly(expected);
    CreateTopLevel(options.className, style_, exStyle_, caption, CentredFrame(expected));
    if (!Handle())
        return;
    const UINT dpi = DpiForWindow(Handle());
    TControl::ApplyDpi(dpi);
    if (dpi != expected) {
        const RECT frame = CentredFrame(dpi);
        SetWindowPos(Handle(), nullptr, frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TForm::~TForm() = default;

RECT TForm::CentredFrame(UINT dpi) const {
    const POINT origin{0, 0};
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& area = info.rcMonitor;
    const RECT frame = WindowRectForClient(Scale(Bounds96().width, dpi),
                                           Scale(Bounds96().height, dpi), style_, exStyle_, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = area.left + ((area.right - area.left) - width) / 2;
    const int top = area.top + ((area.bottom - area.top) - height) / 2;
    return RECT{left, top, left + width, top + height};
}

void TForm::ApplyDpi(UINT dpi) {
    if (Handle()) {
        const RECT frame = WindowRectForClient(
            Scale(Bounds96().width, dpi), Scale(Bounds96().height, dpi), style_, exStyle_, dpi);
        SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    TControl::ApplyDpi(dpi);
}

void TForm::Show(int showCommand) {
    if (Handle()) {
        ShowWindow(Handle(), showCommand);
        UpdateWindow(Handle());
    }
}

void TForm::Close() {
    if (Handle())
        SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

UINT_PTR TForm::AddTimer(TTimer* timer) {
    const UINT_PTR id = nextTimerId_++;
    timers_[id] = timer;
    return id;
}

void TForm::RemoveTimer(UINT_PTR id) {
    if (Handle())
        KillTimer(Handle(), id);
    timers_.erase(id);
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: {
        TCloseAction action = TCloseAction::Free;
        if (OnClose)
            OnClose(action);
        if (action == TCloseAction::Free)
            DestroyWindow(Handle());
        return 0;
    }
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // Sent with TRUE when the session really ends, FALSE when it was
        // cancelled and everything goes on as before.
        if (wParam && OnSessionEnd)
            OnSessionEnd();
        return 0;
    case WM_DESTROY:
        for (auto& [id, timer] : timers_)
            KillTimer(Handle(), id);
        return 0;
    case WM_TIMER:
        if (auto it = timers_.find(wParam); it != timers_.end()) {
            it->second->Tick();
            return 0;
        }
        break;
    case kPreciseWakeMessage:
        if (auto it = timers_.find(wParam); it != timers_.end()) {
            it->second->Wake(lParam);
            return 0;
        }
        break;
    case kPendingReportsMessage:
        ShowPendingReports();
        return 0;
    case WM_HOTKEY:
        if (OnHotKey)
            OnHotKey(wParam);
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        ApplyDpi(HIWORD(wParam));
        return 0;
    }
    default:
        break;
    }
    return TControl::WindowProc(message, wParam, lParam);
}

} // namespace ui
