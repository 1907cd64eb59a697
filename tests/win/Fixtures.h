// Shared test doubles and helpers for the in-process Windows tests.
#pragma once

#include "common/Config.h"
#include "main/Main.h"
#include "ui/Guard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Points compare and print by their coordinates (found by argument lookup,
// so they live with POINT in the global namespace).
inline bool operator==(const POINT& a, const POINT& b) {
    return a.x == b.x && a.y == b.y;
}
inline void PrintTo(const POINT& point, std::ostream* out) {
    *out << '(' << point.x << ',' << point.y << ')';
}

namespace wintest {

// Records every cursor, button and pause call instead of performing it.
class RecordingInput : public IUserInput {
  public:
    struct Call {
        enum Kind { GetCursor, SetCursor, Mouse, Sleep, Monitor } kind;
        long a = 0; // x, flags or milliseconds
        long b = 0; // y
    };
    POINT cursor{0, 0};
    std::vector<Call> calls;
    // Runs at every cursor read, to look at the window at that moment.
    std::function<void()> onGetCursor;
    // Runs at every button event.
    std::function<void()> onMouse;

    POINT GetCursorPos() override {
        calls.push_back({Call::GetCursor, cursor.x, cursor.y});
        if (onGetCursor)
            onGetCursor();
        return cursor;
    }
    void SetCursorPos(int x, int y) override {
        calls.push_back({Call::SetCursor, x, y});
        cursor = {x, y};
    }
    void MouseEvent(DWORD flags) override {
        calls.push_back({Call::Mouse, static_cast<long>(flags), 0});
        if (onMouse)
            onMouse();
    }
    void Sleep(DWORD milliseconds) override {
        calls.push_back({Call::Sleep, static_cast<long>(milliseconds), 0});
    }
    // Points on no monitor; every other point is on one.
    std::vector<POINT> offMonitor;
    bool IsOnMonitor(POINT point) override {
        calls.push_back({Call::Monitor, point.x, point.y});
        return std::find(offMonitor.begin(), offMonitor.end(), point) == offMonitor.end();
    }

    std::vector<Call> Of(Call::Kind kind) const {
        std::vector<Call> out;
        for (const auto& call : calls)
            if (call.kind == kind)
                out.push_back(call);
        return out;
    }
    // Button flags and pauses in order: flags as themselves, pauses as -ms.
    std::vector<long> ButtonsAndPauses() const {
        std::vector<long> out;
        for (const auto& call : calls) {
            if (call.kind == Call::Mouse)
                out.push_back(call.a);
            else if (call.kind == Call::Sleep)
                out.push_back(-call.a);
        }
        return out;
    }
    // Every SetCursorPos target in order.
    std::vector<POINT> Moves() const {
        std::vector<POINT> out;
        for (const auto& call : calls)
            if (call.kind == Call::SetCursor)
                out.push_back({call.a, call.b});
        return out;
    }
};

// Records message boxes and beeps; never blocks. Every box is answered with
// `answer`, after `onBox` has run as if inside the box's message loop.
class RecordingNotice : public IUserNotice {
  public:
    int answer = IDOK;
    struct Box {
        std::wstring text;
        std::wstring caption;
        UINT type;
    };
    std::vector<Box> boxes;
    std::vector<UINT> beeps;
    std::function<void()> onBox;

    int MessageBox(HWND, const std::wstring& text, const std::wstring& caption,
                   UINT type) override {
        boxes.push_back({text, caption, type});
        if (onBox)
            onBox();
        return answer;
    }
    void MessageBeep(UINT type) override { beeps.push_back(type); }
};

// Records timer-resolution requests and releases instead of making them.
class RecordingTimerPeriod : public ITimerPeriod {
  public:
    // Requests as their resolution in ms, releases as minus it, in order.
    std::vector<long> calls;
    // What Windows answers a request.
    bool granted = true;

    bool Request(UINT milliseconds) override {
        calls.push_back(static_cast<long>(milliseconds));
        return granted;
    }
    void Release(UINT milliseconds) override { calls.push_back(-static_cast<long>(milliseconds)); }
};

// The file system with its attribute query failing for every path, noting
// the paths it is asked about.
class FailingAttributes : public WindowsFiles {
  public:
    explicit FailingAttributes(DWORD error) : error_(error) {}
    DWORD GetAttributes(const std::wstring& path, DWORD& error) override {
        asked.push_back(path);
        error = error_;
        return INVALID_FILE_ATTRIBUTES;
    }
    std::vector<std::wstring> asked;

  private:
    DWORD error_;
};

// Works through Windows, noting every path whose attributes are asked for
// and running `onWrite` before each write; with `failAfter` set, a write
// puts that many bytes on disk and then fails as a full disk does.
class WriteSpy : public WindowsFiles {
  public:
    std::optional<DWORD> failAfter;
    std::function<void()> onWrite;
    int writes = 0;
    std::vector<std::wstring> asked;

    DWORD GetAttributes(const std::wstring& path, DWORD& error) override;
    DWORD Write(HANDLE file, const char* data, DWORD size, DWORD& done) override;
};

// Collects what reaches the program-wide error handler while alive.
class ErrorRecorder {
  public:
    ErrorRecorder()
        : previous_(ui::SetExceptionHandler([this](std::exception_ptr error) {
              messages.push_back(ui::DescribeException(error));
          })) {}
    ~ErrorRecorder() { ui::SetExceptionHandler(previous_); }
    ErrorRecorder(const ErrorRecorder&) = delete;
    ErrorRecorder& operator=(const ErrorRecorder&) = delete;
    std::vector<std::wstring> messages;

  private:
    ui::ExceptionHandler previous_;
};

// Deletes the program's settings key, so each test starts from nothing.
inline void ClearSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + Orv::kConfigPath).c_str());
}

// Raw access to a key below HKEY_CURRENT_USER\Software (the program's key by
// default), bypassing the code under test.
std::wstring SettingsSubKey(const std::wstring& path = Orv::kConfigPath);
bool SettingsKeyExists(const std::wstring& path = Orv::kConfigPath);
void StoreValue(const std::wstring& name, DWORD type, const void* data, DWORD size,
                const std::wstring& path = Orv::kConfigPath);
void StoreDword(const std::wstring& name, DWORD value, const std::wstring& path = Orv::kConfigPath);
void StoreString(const std::wstring& name, const std::wstring& value,
                 const std::wstring& path = Orv::kConfigPath);
struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
std::optional<StoredValue> ReadStored(const std::wstring& name,
                                      const std::wstring& path = Orv::kConfigPath);
// The value when it is a REG_DWORD, nothing otherwise.
std::optional<DWORD> StoredDword(const std::wstring& name,
                                 const std::wstring& path = Orv::kConfigPath);

// Makes a language current (the empty one: no translation), through the same
// calls the program uses.
void SetLanguage(const std::wstring& language);

// Restores the current language when it ends.
class LanguageScope {
  public:
    LanguageScope();
    ~LanguageScope();
    LanguageScope(const LanguageScope&) = delete;
    LanguageScope& operator=(const LanguageScope&) = delete;

  private:
    std::wstring saved_;
};

// A fresh folder under the temp directory, removed again at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return (path_ / name).wstring(); }
    // Names of the entries in the folder, sorted.
    std::vector<std::wstring> Entries() const;

  private:
    std::filesystem::path path_;
};

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);

// Every row of a list view, cell by cell.
std::vector<std::vector<std::wstring>> ListRows(const ui::TListView& list);

// The ids the window registers its hotkeys under: the run/stop hotkey's is
// the global atom "HotKeyRun" (0 while no window holds it), the add-record
// hotkey's is always 0.
std::uint32_t RunHotKeyId();
inline constexpr std::uint32_t kAddHotKeyId = 0;

// Whether another window could register the combination now.
bool CombinationIsFree(UINT modifiers, UINT key);

// Delivers every queued message (timers, notifications) to the windows.
void PumpMessages();

// A main window with recorded input and notices, created as the program
// creates it (FormCreate run through the error handler).
struct MainWindow {
    RecordingInput input;
    RecordingNotice notice;
    RecordingTimerPeriod timerPeriod;
    std::unique_ptr<TFrmMain> form;

    explicit MainWindow(bool runFormCreate = true, IFileSystem& files = WindowsFileSystem());
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    TFrmMain& operator*() { return *form; }
    TFrmMain* operator->() { return form.get(); }
};

// One tick of the click timer as the window procedure runs it, its early work
// first: an error goes to the program-wide handler, not to the test.
void Tick(TFrmMain& form);

// A real WM_TIMER for the click timer, through the form's window procedure.
// Form timers are numbered from 1 in creation order; TmrClick is the only one.
void SendClickTimer(TFrmMain& form);

// The record file the window loads and saves by default (Mirvex.lst beside
// the test program).
std::wstring DefaultRecordFile();

// Tests that start from no settings and no default record file, and leave
// none behind.
class CleanStateTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// A test with a freshly created main window (recorded input and notices),
// destroyed again before the settings are cleaned up.
class MainWindowTest : public CleanStateTest {
  protected:
    void SetUp() override {
        CleanStateTest::SetUp();
        window = std::make_unique<MainWindow>();
    }
    void TearDown() override {
        window.reset();
        CleanStateTest::TearDown();
    }
    TFrmMain& Form() { return **window; }
    RecordingInput& Input() { return window->input; }

    std::unique_ptr<MainWindow> window;
};

// In a child process started by the last-resort test: lets an error escape
// every handler (the argument names which) and never returns. -1 for any
// other argument.
int RunEscapeProbe(std::string_view argument);

// A bare top-level form to host single controls.
std::unique_ptr<ui::TForm> MakeHostForm(const std::wstring& caption = L"host");

// The message of the `Error` that `work` raises, or kNoError when it raises
// none.
inline constexpr char kNoError[] = "(no error raised)";
template <typename Error, typename F> std::string ErrorOf(F&& work) {
    try {
        work();
    } catch (const Error& error) {
        return error.what();
    }
    return kNoError;
}

} // namespace wintest
