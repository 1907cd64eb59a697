#include "ui/Guard.h"

#include "common/ProgramFile.h"
#include "core/TextCodec.h"
#include "ui/Application.h"
#include "ui/Messages.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

namespace ui {
namespace {

constexpr wchar_t kOutOfMemory[] = L"Out of memory.";
constexpr wchar_t kUnknownError[] = L"An unknown error occurred.";
constexpr wchar_t kInternalError[] = L"An internal error occurred: ";
constexpr wchar_t kMustEnd[] = L"The program has to end now.";
constexpr wchar_t kProcessorFault[] = L"An internal error occurred (exception code 0x";
constexpr UINT kDialogStyle = MB_OK | MB_ICONERROR;
constexpr UINT kExitCode = 0;

std::mutex g_lock;
// Reports handed over from other threads, and reports that arose while one
// was being shown on the main window's thread.
std::deque<std::exception_ptr> g_pending;
bool g_reporting = false; // on the main window's thread, under g_lock

// The program file's name without its folder and extension.
std::wstring ProgramName() {
    const std::wstring path = Orv::ProgramPath();
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring::npos && dot > 0)
        name.resize(dot);
    return name;
}

// The main window when the calling thread owns it.
HWND OwnMainWindow() {
    const HWND main = Application::MainWindow();
    if (main && IsWindow(main) && GetWindowThreadProcessId(main, nullptr) == GetCurrentThreadId())
        return main;
    return nullptr;
}

void ShowDialog(const std::wstring& text) {
    const HWND owner = OwnMainWindow();
    std::wstring caption;
    if (owner) {
        caption.resize(static_cast<std::size_t>(GetWindowTextLengthW(owner)) + 1);
        caption.resize(static_cast<std::size_t>(
            GetWindowTextW(owner, caption.data(), static_cast<int>(caption.size()))));
    }
    if (caption.empty())
        caption = ProgramName();
    MessageBoxW(owner, text.c_str(), caption.c_str(),
                kDialogStyle | (owner ? 0 : MB_TASKMODAL | MB_SETFOREGROUND));
}

void ShowErrorDialog(std::exception_ptr error) {
    ShowDialog(DescribeException(error));
}

ExceptionHandler& CurrentHandler() {
    static ExceptionHandler handler = ShowErrorDialog;
    return handler;
}

void Report(std::exception_ptr error) {
    // A handler that fails itself must not take the program down.
    try {
        CurrentHandler()(error);
    } catch (...) {
    }
}

// Reports one error now and then every one queued meanwhile, on the main
// window's thread (or on any thread while there is no main window).
void ReportInTurn(std::exception_ptr error) {
    {
        const std::lock_guard lock(g_lock);
        if (g_reporting) {
            g_pending.push_back(std::move(error));
            return;
        }
        g_reporting = true;
    }
    for (;;) {
        if (error)
            Report(error);
        const std::lock_guard lock(g_lock);
        if (g_pending.empty()) {
            g_reporting = false;
            return;
        }
        error = std::move(g_pending.front());
        g_pending.pop_front();
    }
}

[[noreturn]] void EndProgram(const std::wstring& text) {
    ShowDialog(text + L"\r\r" + kMustEnd);
    TerminateProcess(GetCurrentProcess(), kExitCode);
    std::abort(); // not reached
}

void OnTerminate() {
    const std::exception_ptr error = std::current_exception();
    EndProgram(error ? DescribeException(error) : std::wstring(kUnknownError));
}

LONG WINAPI OnProcessorFault(EXCEPTION_POINTERS* info) {
    wchar_t code[9] = {};
    const DWORD value = info && info->ExceptionRecord ? info->ExceptionRecord->ExceptionCode : 0;
    wsprintfW(code, L"%08X", static_cast<unsigned>(value));
    EndProgram(std::wstring(kProcessorFault) + code + L").");
}

} // namespace

ExceptionHandler SetExceptionHandler(ExceptionHandler handler) {
    return std::exchange(CurrentHandler(), handler ? std::move(handler) : ShowErrorDialog);
}

void HandleException(std::exception_ptr error) {
    const HWND main = Application::MainWindow();
    if (main && IsWindow(main) && !OwnMainWindow()) {
        {
            const std::lock_guard lock(g_lock);
            g_pending.push_back(error);
        }
        if (PostMessageW(main, kPendingReportsMessage, 0, 0))
            return;
        // The window went away meanwhile: take the report back, show it here.
        const std::lock_guard lock(g_lock);
        std::erase(g_pending, error);
    }
    ReportInTurn(std::move(error));
}

void ShowPendingReports() {
    ReportInTurn(nullptr);
}

std::wstring DescribeException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (const std::logic_error& e) {
        // A fault of the program, not of the user's data or system.
        return kInternalError + core::DecodeUtf8(e.what());
    } catch (const std::exception& e) {
        return core::DecodeUtf8(e.what());
    } catch (...) {
        return kUnknownError;
    }
}

void InstallLastResortHandlers() {
    // No system dialog for faults or for drives without media.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    std::set_terminate(OnTerminate);
    SetUnhandledExceptionFilter(OnProcessorFault);
}

} // namespace ui
