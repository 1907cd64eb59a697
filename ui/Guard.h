// The program-wide handler of errors that no operation handles. Every window
// procedure of the control layer runs its work through Guard, so an exception
// never unwinds through Windows' own frames: it is reported, the handler that
// raised it ends there, the window keeps its state and the message loop goes
// on. What escapes everything else (an exception that reaches the end of a
// thread, a processor fault) is reported in the same dialog before the
// program ends; the platform's crash dialog never shows.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace ui {

using ExceptionHandler = std::function<void(std::exception_ptr)>;

// Replaces the handler; returns the previous one. The default shows the error
// in a dialog owned by the main window and titled with its caption (before
// the window exists, with the program's name).
ExceptionHandler SetExceptionHandler(ExceptionHandler handler);

// Reports the exception through the current handler. Any thread may call it:
// a report from another thread than the main window's is handed to that
// window's thread, shown there between other messages, and the caller goes
// on at once. A report that arises while another is being shown waits for
// that one to end, so dialogs never pile up.
void HandleException(std::exception_ptr error);

// Shows the reports handed over from other threads (the main window does this
// when it is told some are waiting, by kPendingReportsMessage of Messages.h;
// the program once more after its loop).
void ShowPendingReports();

// The text of the report: the error's own message; errors that show a fault
// in the program itself say so.
std::wstring DescribeException(std::exception_ptr error);

// The last resort for what escapes every Guard: std::terminate (an exception
// that left a thread, or one thrown while another unwinds) and unhandled
// processor faults. Each is reported, then the process ends with exit code 0.
void InstallLastResortHandlers();

template <typename F> bool Guard(F&& work) {
    try {
        work();
        return true;
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

} // namespace ui
