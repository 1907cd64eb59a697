// The program-wide handler: what its report says, and that reports from
// other threads or from inside a report reach the handler one at a time on
// the main window's thread.
#include "Fixtures.h"

#include "core/TextCodec.h"
#include "ui/Application.h"
#include "ui/Handles.h"

#include <chrono>
#include <new>
#include <stdexcept>
#include <string_view>
#include <thread>

namespace {

constexpr char kThreadExceptionProbe[] = "--escape-probe=thread-exception";
constexpr char kProcessorFaultProbe[] = "--escape-probe=processor-fault";
constexpr DWORD kProbeWaitMs = 30000;

struct Report {
    std::wstring text;
    DWORD thread;
};

// Records each report with the thread it reached the handler on.
class ThreadRecorder {
  public:
    ThreadRecorder()
        : previous_(ui::SetExceptionHandler([this](std::exception_ptr error) {
              reports.push_back({ui::DescribeException(error), GetCurrentThreadId()});
              if (onReport)
                  onReport();
          })) {}
    ~ThreadRecorder() { ui::SetExceptionHandler(previous_); }
    ThreadRecorder(const ThreadRecorder&) = delete;
    ThreadRecorder& operator=(const ThreadRecorder&) = delete;

    std::vector<Report> reports;
    std::function<void()> onReport;

  private:
    ui::ExceptionHandler previous_;
};

TEST(ErrorReport, SaysWhatFailed) {
    struct Case {
        std::exception_ptr error;
        std::wstring text;
    };
    const Case cases[] = {
        {std::make_exception_ptr(std::runtime_error("Invalid data type for 'hotkey_run'")),
         L"Invalid data type for 'hotkey_run'"},
        {std::make_exception_ptr(std::runtime_error("'\xEC\xA0\x80' is not a valid delay")),
         L"'\xC800' is not a valid delay"},
        {std::make_exception_ptr(std::out_of_range("vector")),
         L"An internal error occurred: vector"},
        {std::make_exception_ptr(std::bad_alloc()), L"Out of memory."},
        {std::make_exception_ptr(42), L"An unknown error occurred."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ui::DescribeException(c.error), c.text);
}

TEST(ErrorReport, FromAnotherThreadItIsShownOnTheWindowsThread) {
    auto form = wintest::MakeHostForm();
    ui::Application::SetMainForm(*form);
    ThreadRecorder recorder;
    std::thread worker([] {
        ui::HandleException(std::make_exception_ptr(std::runtime_error("from the worker")));
    });
    worker.join();
    // The worker did not wait for the report, and nothing was shown on it.
    EXPECT_TRUE(recorder.reports.empty());
    wintest::PumpMessages();
    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].text, L"from the worker");
    EXPECT_EQ(recorder.reports[0].thread, GetCurrentThreadId());
}

TEST(ErrorReport, ReportRaisedDuringAReportFollowsIt) {
    auto form = wintest::MakeHostForm();
    ui::Application::SetMainForm(*form);
    ThreadRecorder recorder;
    std::vector<std::wstring> events;
    recorder.onReport = [&] {
        events.push_back(L"shown " + recorder.reports.back().text);
        if (recorder.reports.size() == 1)
            ui::HandleException(std::make_exception_ptr(std::runtime_error("second")));
        events.push_back(L"closed " + recorder.reports.back().text);
    };
    ui::HandleException(std::make_exception_ptr(std::runtime_error("first")));
    EXPECT_EQ(events, (std::vector<std::wstring>{L"shown first", L"closed first", L"shown second",
                                                 L"closed second"}));
}

// The last resort, in a child process of this test program that lets an
// error escape everything: the program's own dialog, titled with the
// program's name, then the end with exit code 0, never the system's crash
// dialog.
struct EscapeCase {
    const char* name;
    const char* probe;
    const wchar_t* text;
};

struct DialogSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialogOf(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<DialogSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (process == search.process && IsWindowVisible(window) && std::wstring(name) == L"#32770") {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

// The message of a message box: its static control with a text.
BOOL CALLBACK FindMessage(HWND window, LPARAM context) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpiW(name, L"Static") == 0 && !TextOf(window).empty()) {
        *reinterpret_cast<std::wstring*>(context) = TextOf(window);
        return FALSE;
    }
    return TRUE;
}

class LastResort : public testing::TestWithParam<EscapeCase> {};

TEST_P(LastResort, ReportsInItsOwnDialogAndEndsWithExitCodeZero) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string_view probe = GetParam().probe;
    std::wstring command =
        L"\"" + std::wstring(self) + L"\" " + std::wstring(probe.begin(), probe.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    const ui::UniqueHandle process(info.hProcess);
    const ui::UniqueHandle thread(info.hThread);

    DialogSearch search{info.dwProcessId, nullptr};
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kProbeWaitMs);
    while (!search.found && std::chrono::steady_clock::now() < deadline &&
           WaitForSingleObject(process.get(), 100) == WAIT_TIMEOUT)
        EnumWindows(FindDialogOf, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        TerminateProcess(process.get(), 1);
    ASSERT_NE(search.found, nullptr) << "no dialog of the program's own";
    EXPECT_EQ(TextOf(search.found), L"MirvexWinTests");
    std::wstring text;
    EnumChildWindows(search.found, FindMessage, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(text.rfind(GetParam().text, 0), 0u) << core::ToUtf8(text);
    EXPECT_TRUE(text.ends_with(L"\r\rThe program has to end now.")) << core::ToUtf8(text);
    SendMessageW(GetDlgItem(search.found, IDOK), BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.get(), kProbeWaitMs), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.get(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Escapes, LastResort,
    testing::Values(EscapeCase{"ExceptionLeavesAThread", kThreadExceptionProbe,
                               L"escaped the worker"},
                    EscapeCase{"ProcessorFault", kProcessorFaultProbe,
                               L"An internal error occurred (exception code 0xC0000005)."}),
    [](const testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.name); });

} // namespace

namespace wintest {

int RunEscapeProbe(std::string_view argument) {
    if (argument != kThreadExceptionProbe && argument != kProcessorFaultProbe)
        return -1;
    ui::SetExceptionHandler(nullptr); // the program's own dialog
    ui::InstallLastResortHandlers();
    if (argument == kThreadExceptionProbe)
        std::thread([] { throw std::runtime_error("escaped the worker"); }).join();
    else
        RaiseException(EXCEPTION_ACCESS_VIOLATION, 0, 0, nullptr);
    return 2; // not reached: the last resort ends the process
}

} // namespace wintest
