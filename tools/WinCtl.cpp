// WinCtl: the Windows-side hands of the end-to-end tests. Each command prints
// JSON lines (see JsonLine.h) and ends with exit code 0 on success, 1 when the
// command could not do its work and 2 on a usage error. Window handles are
// decimal numbers; they are valid across every process of one Wine server.
//
//   WinCtl.exe [--desktop NAME] COMMAND ARGS...
//
// --desktop works on the windows of another desktop, such as the one that
// `wine explorer /desktop=NAME,WxH` creates.
//
//   list [CLASS [TITLE]]        top-level windows ("-" matches any)
//   controls HWND               every descendant control of a window
//   close HWND                  post WM_CLOSE
//   click HWND                  BM_CLICK (a button or check box)
//   type HWND TEXT              select all of an edit control, then send one
//                               WM_CHAR per character; prints the text after
//   send HWND MSG WPARAM LPARAM send a message (numbers, decimal or 0x hex);
//                               prints the result, or "answered": false
//   popup-size TEXT             shows a popup menu of its own with one item
//                               TEXT and prints the menu window's size: the
//                               size another program's popup has when its
//                               item reads the same (Wine cannot read the
//                               menu of another process)
//   hold-hotkey MODS VK SECS    register a hotkey (MOD_* flags, virtual key)
//                               and keep it that long; "held" once it is
//   hold-window CLASS SECS      keep a hidden top-level window of that class
//                               (another program's) that long; "held" once
//                               it exists
//   hold-locked-mutex NAME SECS keep the named mutex that long under a DACL
//                               that lets no one open it; "held" once it is
//   clock                       the performance counter in microseconds
//   monitors                    every display monitor: its rectangle, its
//                               work area and whether it is the primary one
//   memory HWND                 working set, its peak and the private bytes
//                               of the process that owns a window

#include "Hold.h"
#include "JsonLine.h"
#include "Microseconds.h"
#include "ui/Handles.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// A hung target must not hang the test that asks it something.
constexpr UINT kSendTimeoutMs = 3000;
constexpr int kHeldHotKeyId = 1;

using Args = std::vector<std::wstring>;

void Print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

std::optional<unsigned long long> ParseUnsigned(const std::wstring& text) {
    if (text.empty())
        return std::nullopt;
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text.c_str(), &end, 0);
    if (*end != L'\0')
        return std::nullopt;
    return value;
}

std::optional<HWND> ParseWindow(const std::wstring& text) {
    const auto value = ParseUnsigned(text);
    if (!value || !IsWindow(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value))))
        return std::nullopt;
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*value));
}

long long HandleNumber(HWND window) {
    return static_cast<long long>(reinterpret_cast<std::uintptr_t>(window));
}

// SendMessageTimeout that gives 0 when the target does not answer in time.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return 0;
    return static_cast<LRESULT>(result);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

// WM_GETTEXT is marshalled across processes, so this reads what the control
// itself holds (an edit control's text, not only the window caption).
std::wstring TextOf(HWND window) {
    const auto length = static_cast<std::size_t>(Ask(window, WM_GETTEXTLENGTH));
    std::wstring text(length + 1, L'\0');
    const auto copied = static_cast<std::size_t>(
        Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(std::min(copied, length));
    return text;
}

bool IsCheckBox(HWND window) {
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

// The caption as the window manager keeps it: no message is sent, so a
// window whose thread is busy starting up cannot stall the caller.
std::wstring CaptionOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

JsonLine Describe(HWND window, const std::wstring& text) {
    RECT rect{};
    GetWindowRect(window, &rect);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    JsonLine line;
    line.Number("hwnd", HandleNumber(window))
        .Number("pid", pid)
        .Text("class", ClassOf(window))
        .Text("text", text)
        .Numbers("rect", {rect.left, rect.top, rect.right, rect.bottom})
        .Flag("visible", IsWindowVisible(window))
        .Flag("enabled", IsWindowEnabled(window));
    return line;
}

// The extra fields a test needs from particular control classes.
void AddControlState(HWND window, const std::wstring& className, JsonLine& line) {
    if (lstrcmpiW(className.c_str(), HOTKEY_CLASSW) == 0) {
        line.Number("hotkey", static_cast<std::uint16_t>(Ask(window, HKM_GETHOTKEY)));
    } else if (lstrcmpiW(className.c_str(), WC_BUTTONW) == 0 && IsCheckBox(window)) {
        line.Number("check", Ask(window, BM_GETCHECK));
    } else if (lstrcmpiW(className.c_str(), WC_LISTVIEWW) == 0) {
        line.Number("items", Ask(window, LVM_GETITEMCOUNT));
        line.Number("selected",
                    Ask(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    } else if (lstrcmpiW(className.c_str(), WC_COMBOBOXW) == 0) {
        line.Number("selected", Ask(window, CB_GETCURSEL));
    }
}

struct ListFilter {
    std::wstring className; // empty: any
    std::wstring title;     // empty: any
};

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM context) {
    const auto& filter = *reinterpret_cast<const ListFilter*>(context);
    if (!filter.className.empty() && ClassOf(window) != filter.className)
        return TRUE;
    const std::wstring caption = CaptionOf(window);
    if (!filter.title.empty() && caption != filter.title)
        return TRUE;
    Print(Describe(window, caption).Finish());
    return TRUE;
}

BOOL CALLBACK PrintControl(HWND window, LPARAM) {
    const std::wstring className = ClassOf(window);
    JsonLine line = Describe(window, TextOf(window));
    line.Number("parent", HandleNumber(GetParent(window)))
        .Number("id", GetDlgCtrlID(window))
        .Number("style", static_cast<long long>(GetWindowLongPtrW(window, GWL_STYLE)));
    AddControlState(window, className, line);
    Print(line.Finish());
    return TRUE;
}

std::wstring AnyIfDash(const std::wstring& text) {
    return text == L"-" ? std::wstring() : text;
}

int List(const Args& args) {
    ListFilter filter;
    if (args.size() > 0)
        filter.className = AnyIfDash(args[0]);
    if (args.size() > 1)
        filter.title = AnyIfDash(args[1]);
    EnumWindows(PrintTopLevel, reinterpret_cast<LPARAM>(&filter));
    return kExitOk;
}

int Controls(HWND window) {
    // EnumChildWindows walks the whole tree, depth first, in window order.
    EnumChildWindows(window, PrintControl, 0);
    return kExitOk;
}

int Close(HWND window) {
    return PostMessageW(window, WM_CLOSE, 0, 0) ? kExitOk : kExitFailed;
}

int Usage();

int Send(HWND window, const Args& numbers) {
    std::optional<unsigned long long> values[3];
    for (std::size_t i = 0; i < 3; ++i)
        if (!(values[i] = ParseUnsigned(numbers[i])))
            return Usage();
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(
        window, static_cast<UINT>(*values[0]), static_cast<WPARAM>(*values[1]),
        static_cast<LPARAM>(*values[2]), SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    JsonLine line;
    line.Flag("answered", answered);
    if (answered)
        line.Number("result", static_cast<long long>(result));
    Print(line.Finish());
    return answered ? kExitOk : kExitFailed;
}

// Finds this thread's shown popup menu, notes its size and closes it.
struct PopupProbe {
    SIZE size{0, 0};
};
PopupProbe g_popupProbe;

BOOL CALLBACK NotePopupSize(HWND window, LPARAM) {
    if (ClassOf(window) != L"#32768" || !IsWindowVisible(window))
        return TRUE;
    RECT rect{};
    GetWindowRect(window, &rect);
    g_popupProbe.size = {rect.right - rect.left, rect.bottom - rect.top};
    return FALSE;
}

void CALLBACK MeasurePopup(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), NotePopupSize, 0);
    if (g_popupProbe.size.cx > 0)
        EndMenu();
}

int PopupSize(const std::wstring& text) {
    constexpr UINT kProbeInterval = 100;
    constexpr UINT_PTR kProbeTimer = 1;
    HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    HMENU menu = CreatePopupMenu();
    if (!owner || !menu || !AppendMenuW(menu, MF_STRING, 1, text.c_str())) {
        Print(JsonLine().Text("error", L"cannot build a popup menu").Finish());
        return kExitFailed;
    }
    ShowWindow(owner, SW_SHOWNOACTIVATE);
    SetForegroundWindow(owner);
    SetTimer(owner, kProbeTimer, kProbeInterval, MeasurePopup);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, owner, nullptr);
    KillTimer(owner, kProbeTimer);
    DestroyMenu(menu);
    DestroyWindow(owner);
    if (g_popupProbe.size.cx == 0) {
        Print(JsonLine().Text("error", L"the popup menu did not show").Finish());
        return kExitFailed;
    }
    Print(JsonLine().Numbers("size", {g_popupProbe.size.cx, g_popupProbe.size.cy}).Finish());
    return kExitOk;
}

int Click(HWND window) {
    Ask(window, BM_CLICK);
    JsonLine line;
    line.Number("hwnd", HandleNumber(window));
    if (IsCheckBox(window))
        line.Number("check", Ask(window, BM_GETCHECK));
    Print(line.Finish());
    return kExitOk;
}

int Type(HWND window, const std::wstring& text) {
    // Selecting everything first makes the typed characters replace the
    // whole field from its first position on.
    Ask(window, EM_SETSEL, 0, -1);
    for (const wchar_t ch : text)
        Ask(window, WM_CHAR, ch, 1);
    Print(JsonLine().Text("text", TextOf(window)).Finish());
    return kExitOk;
}

int HoldHotKey(unsigned modifiers, unsigned key, unsigned seconds) {
    if (!RegisterHotKey(nullptr, kHeldHotKeyId, modifiers, key)) {
        Print(JsonLine().Flag("held", false).Number("error", GetLastError()).Finish());
        return kExitFailed;
    }
    Print(JsonLine().Flag("held", true).Finish());
    hold::PumpMessagesFor(seconds);
    UnregisterHotKey(nullptr, kHeldHotKeyId);
    return kExitOk;
}

// Prints whether the object could be made, then keeps it for that long.
template <typename Held> int HoldFor(const Held& held, unsigned seconds) {
    if (!held) {
        Print(JsonLine().Flag("held", false).Number("error", GetLastError()).Finish());
        return kExitFailed;
    }
    Print(JsonLine().Flag("held", true).Finish());
    hold::PumpMessagesFor(seconds);
    return kExitOk;
}

int Clock() {
    Print(JsonLine()
              .Number("qpc_us", MicrosecondsNow())
              .Number("frequency", CounterFrequency())
              .Finish());
    return kExitOk;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    const RECT& r = info.rcMonitor;
    const RECT& w = info.rcWork;
    Print(JsonLine()
              .Numbers("rect", {r.left, r.top, r.right, r.bottom})
              .Numbers("work", {w.left, w.top, w.right, w.bottom})
              .Flag("primary", (info.dwFlags & MONITORINFOF_PRIMARY) != 0)
              .Finish());
    return TRUE;
}

int Monitors() {
    return EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0) ? kExitOk : kExitFailed;
}

int Memory(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const ui::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!process ||
        !GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters))) {
        Print(JsonLine().Text("error", L"cannot read the process's memory counters").Finish());
        return kExitFailed;
    }
    Print(JsonLine()
              .Number("pid", processId)
              .Number("working_set", static_cast<long long>(counters.WorkingSetSize))
              .Number("peak_working_set", static_cast<long long>(counters.PeakWorkingSetSize))
              .Number("private_bytes", static_cast<long long>(counters.PrivateUsage))
              .Finish());
    return kExitOk;
}

int Usage() {
    Print(JsonLine().Text("error", L"usage: see the comment at the top of WinCtl.cpp").Finish());
    return kExitUsage;
}

int RunWindowCommand(const std::wstring& command, const Args& rest) {
    const auto window = ParseWindow(rest[0]);
    if (!window) {
        Print(JsonLine().Text("error", L"no such window: " + rest[0]).Finish());
        return kExitFailed;
    }
    if (command == L"controls")
        return Controls(*window);
    if (command == L"close")
        return Close(*window);
    if (command == L"click")
        return Click(*window);
    if (command == L"memory")
        return Memory(*window);
    if (command == L"type" && rest.size() == 2)
        return Type(*window, rest[1]);
    if (command == L"send" && rest.size() == 4)
        return Send(*window, Args(rest.begin() + 1, rest.end()));
    return Usage();
}

// Moves this thread to the named desktop, so that EnumWindows and the window
// commands see that desktop's windows.
bool UseDesktop(const std::wstring& name) {
    // The handle stays open for the life of this short process.
    HDESK desktop = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL);
    return desktop && SetThreadDesktop(desktop);
}

int Run(Args args) {
    if (args.size() >= 2 && args[0] == L"--desktop") {
        if (!UseDesktop(args[1])) {
            Print(JsonLine().Text("error", L"no such desktop: " + args[1]).Finish());
            return kExitFailed;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty())
        return Usage();
    const std::wstring& command = args[0];
    const Args rest(args.begin() + 1, args.end());
    if (command == L"list")
        return List(rest);
    if (command == L"clock")
        return Clock();
    if (command == L"monitors")
        return Monitors();
    if (command == L"popup-size" && rest.size() == 1)
        return PopupSize(rest[0]);
    if (command == L"hold-hotkey" && rest.size() == 3) {
        const auto modifiers = ParseUnsigned(rest[0]);
        const auto key = ParseUnsigned(rest[1]);
        const auto seconds = ParseUnsigned(rest[2]);
        if (!modifiers || !key || !seconds)
            return Usage();
        return HoldHotKey(static_cast<unsigned>(*modifiers), static_cast<unsigned>(*key),
                          static_cast<unsigned>(*seconds));
    }
    if ((command == L"hold-window" || command == L"hold-locked-mutex") && rest.size() == 2) {
        const auto seconds = ParseUnsigned(rest[1]);
        if (!seconds)
            return Usage();
        if (command == L"hold-window")
            return HoldFor(hold::WindowOfClass(rest[0]), static_cast<unsigned>(*seconds));
        return HoldFor(hold::LockedMutex(rest[0].c_str()), static_cast<unsigned>(*seconds));
    }
    if ((command == L"controls" || command == L"close" || command == L"click" ||
         command == L"type" || command == L"send" || command == L"memory") &&
        !rest.empty())
        return RunWindowCommand(command, rest);
    return Usage();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    return Run(Args(argv + 1, argv + argc));
}
