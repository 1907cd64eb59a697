// The program-wide handler of errors that leave an event handler. Every window
// procedure of the control layer runs its work through Guard, so an exception
// never unwinds through Windows' own frames: it is reported, the handler that
// raised it ends there, and the message loop goes on.
#pragma once

#include <exception>
#include <functional>
#include <string>

namespace ui {

using ExceptionHandler = std::function<void(std::exception_ptr)>;

// Replaces the handler; returns the previous one. The default shows the error
// in a message box owned by the active window.
ExceptionHandler SetExceptionHandler(ExceptionHandler handler);

// Reports the exception through the current handler.
void HandleException(std::exception_ptr error);

// A readable text for an exception (its what() as UTF-16).
std::wstring DescribeException(std::exception_ptr error);

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
