// ClickTarget: a plain window that records every mouse button press it
// receives, for the end-to-end tests and the cadence benchmark.
//
//   ClickTarget.exe --log PATH [--x X] [--y Y] [--width W] [--height H]
//
// The window is a borderless popup at (X, Y) of W x H pixels, so its client
// area and its window rectangle coincide. Every line appended to PATH is
// tab-separated and written with one WriteFile call, so a reader never sees a
// half line:
//
//   ready   X Y W H                      once, when the window is shown
//   left|right|middle  cx cy sx sy us   one per button-down message
//
// cx cy are client coordinates, sx sy screen coordinates and us the
// performance counter in microseconds when the message was handled. The
// class has no CS_DBLCLKS, so each press of a double click arrives as a
// separate down message and gets its own line.

#include <windows.h>
#include <windowsx.h>
#include <shellapi.h>

#include "Microseconds.h"
#include "ui/Handles.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"MirvexClickTarget";
constexpr wchar_t kTitle[] = L"Click Target";
constexpr int kDefaultX = 100;
constexpr int kDefaultY = 100;
constexpr int kDefaultSize = 400;
constexpr int kExitUsage = 2;
constexpr int kExitLogFile = 3;
constexpr int kExitWindow = 4;

struct LocalFreer {
    void operator()(LPWSTR* p) const { LocalFree(p); }
};

struct Options {
    std::wstring logPath;
    int x = kDefaultX;
    int y = kDefaultY;
    int width = kDefaultSize;
    int height = kDefaultSize;
};

std::optional<int> ToInt(const std::wstring& text) {
    if (text.empty())
        return std::nullopt;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (*end != L'\0')
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<Options> ParseOptions() {
    int argc = 0;
    std::unique_ptr<LPWSTR, LocalFreer> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    if (!argv)
        return std::nullopt;
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view name = argv.get()[i];
        const std::wstring value = argv.get()[i + 1];
        if (name == L"--log") {
            options.logPath = value;
            continue;
        }
        const auto number = ToInt(value);
        if (!number)
            return std::nullopt;
        if (name == L"--x")
            options.x = *number;
        else if (name == L"--y")
            options.y = *number;
        else if (name == L"--width")
            options.width = *number;
        else if (name == L"--height")
            options.height = *number;
        else
            return std::nullopt;
    }
    if (argc % 2 == 0 || options.logPath.empty())
        return std::nullopt;
    return options;
}

class ClickLog {
  public:
    explicit ClickLog(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (file_.get() == INVALID_HANDLE_VALUE)
            file_.release();
    }
    bool IsOpen() const { return static_cast<bool>(file_); }

    void Write(const std::string& line) {
        DWORD written = 0;
        WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

  private:
    ui::UniqueHandle file_;
};

std::string FormatPress(const char* button, HWND window, LPARAM lParam) {
    POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT screen = client;
    ClientToScreen(window, &screen);
    char line[160];
    std::snprintf(line, sizeof line, "%s\t%ld\t%ld\t%ld\t%ld\t%lld\n", button, client.x, client.y,
                  screen.x, screen.y, static_cast<long long>(MicrosecondsNow()));
    return line;
}

const char* ButtonOfMessage(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        return "left";
    case WM_RBUTTONDOWN:
        return "right";
    case WM_MBUTTONDOWN:
        return "middle";
    default:
        return nullptr;
    }
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* log = reinterpret_cast<ClickLog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (const char* button = ButtonOfMessage(message); button && log) {
        log->Write(FormatPress(button, window, lParam));
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    const auto options = ParseOptions();
    // No message box on a usage error: nobody would close it in a test run,
    // and the exit code already says what went wrong.
    if (!options)
        return kExitUsage;
    ClickLog log(options->logPath);
    if (!log.IsOpen())
        return kExitLogFile;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return kExitWindow;
    HWND window =
        CreateWindowExW(0, kClassName, kTitle, WS_POPUP, options->x, options->y, options->width,
                        options->height, nullptr, nullptr, instance, &log);
    if (!window)
        return kExitWindow;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    char ready[96];
    std::snprintf(ready, sizeof ready, "ready\t%d\t%d\t%d\t%d\n", options->x, options->y,
                  options->width, options->height);
    log.Write(ready);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
