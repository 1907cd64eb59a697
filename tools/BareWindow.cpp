// BareWindow: the main window's set of controls and nothing else, built
// straight on user32 and comctl32 with the program's manifest and icon: the
// same classes, styles, fonts, positions and tree, but no translation,
// settings, hotkeys, files, logo picture or control layer. The start-up
// benchmark times it as the floor of that window under the same Wine and
// display.

#include "ShowAndRun.h"
#include "ui/Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <utility>

namespace {

constexpr wchar_t kClassName[] = L"MirvexBareWindow";
constexpr wchar_t kPanelClass[] = L"MirvexBarePanel";
constexpr wchar_t kTitle[] = L"Bare Window";
constexpr int kClientWidth = 555;
constexpr int kClientHeight = 337;
constexpr UINT kIconResource = 1;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;

struct Place {
    int x, y, width, height;
};

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ui::UniqueFont Font(const wchar_t* face, int height, bool bold, BYTE charset) {
    return ui::UniqueFont(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                      FALSE, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face));
}

// What the controls use; it lives as long as the window.
struct Resources {
    ui::UniqueFont text = Font(L"Tahoma", 11, false, DEFAULT_CHARSET);
    ui::UniqueFont title = Font(L"굴림", 35, true, HANGUL_CHARSET);
    ui::UniqueFont status = Font(L"Tahoma", 19, false, DEFAULT_CHARSET);
    ui::UniqueMenu popup{CreatePopupMenu()};
};

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
           Place at, HFONT font) {
    HWND control =
        CreateWindowExW(exStyle, className, text, style | WS_CHILD | WS_VISIBLE, at.x, at.y,
                        at.width, at.height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = BareProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                             0, 0, LR_DEFAULTSIZE | LR_SHARED));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    RegisterClassExW(&wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hIcon = wc.hIconSm = nullptr;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
}

void AddControls(HWND window, const Resources& resources) {
    HFONT text = resources.text.get();
    HFONT title = resources.title.get();
    HFONT status = resources.status.get();
    const DWORD label = SS_LEFT | SS_NOPREFIX;
    const DWORD group = BS_GROUPBOX | WS_CLIPSIBLINGS;
    const DWORD combo = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

    HWND header = Child(window, kPanelClass, L"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                        {0, 0, 555, 65}, text);
    Child(header, L"STATIC", L"Mirvex", label, 0, {16, 16, 144, 35}, title);
    HWND logo = Child(header, kPanelClass, L"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                      {449, 0, 106, 63}, text);
    Child(logo, kPanelClass, L"", 0, 0, {0, 19, 99, 32}, text);

    HWND mouse = Child(window, L"BUTTON", L"Mouse settings", group, WS_EX_CONTROLPARENT,
                       {8, 71, 201, 114}, text);
    Child(mouse, L"STATIC", L"Mouse", label, 0, {18, 31, 33, 13}, text);
    Child(mouse, L"STATIC", L"Click", label, 0, {18, 58, 22, 13}, text);
    Child(mouse, L"STATIC", L"Delay", label, 0, {18, 85, 33, 13}, text);
    HWND buttons = Child(mouse, L"COMBOBOX", L"", combo, 0, {90, 28, 95, 21}, text);
    for (const wchar_t* item : {L"Left", L"Right", L"Wheel"})
        SendMessageW(buttons, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    HWND kinds = Child(mouse, L"COMBOBOX", L"", combo, 0, {90, 55, 95, 21}, text);
    for (const wchar_t* item : {L"Single", L"Double"})
        SendMessageW(kinds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    Child(mouse, L"EDIT", L"00:00:01.00", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
          {90, 82, 93, 21}, text);

    HWND keys = Child(window, L"BUTTON", L"Hotkey settings", group, WS_EX_CONTROLPARENT,
                      {8, 191, 201, 82}, text);
    Child(keys, L"STATIC", L"Run/Stop", label, 0, {18, 31, 48, 13}, text);
    Child(keys, L"STATIC", L"Add Record", label, 0, {18, 57, 58, 13}, text);
    Child(keys, HOTKEY_CLASSW, L"", WS_TABSTOP, WS_EX_CLIENTEDGE, {90, 28, 95, 21}, text);
    Child(keys, HOTKEY_CLASSW, L"", WS_TABSTOP, WS_EX_CLIENTEDGE, {90, 53, 95, 21}, text);

    HWND record =
        Child(window, L"BUTTON", L"Record", group, WS_EX_CONTROLPARENT, {223, 71, 322, 202}, text);
    HWND list = Child(record, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP,
                      WS_EX_CLIENTEDGE, {17, 25, 288, 135}, text);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    int index = 0;
    for (const auto& [caption, width] : {std::pair{L"Position", 70}, std::pair{L"Mouse", 50},
                                         std::pair{L"Click", 50}, std::pair{L"Delay", 90}}) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(caption);
        column.cx = width;
        ListView_InsertColumn(list, index++, &column);
    }
    Child(record, L"BUTTON", L"Use Record", BS_AUTOCHECKBOX | WS_TABSTOP, 0, {17, 169, 96, 17},
          text);
    Child(record, L"BUTTON", L"Clear", BS_PUSHBUTTON | WS_TABSTOP, 0, {240, 166, 65, 25}, text);

    Child(window, kPanelClass, L"Waiting", 0, 0, {8, 279, 539, 50}, status);
    AppendMenuW(resources.popup.get(), MF_STRING, 1, L"삭제");
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                            ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterClasses(instance);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HWND window = CreateWindowExW(kExStyle, kClassName, kTitle, kStyle,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    const Resources resources;
    AddControls(window, resources);
    return ShowAndRun(window, show);
}
