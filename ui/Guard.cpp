#include "ui/Guard.h"

#include "ui/Application.h"
#include "ui/Text.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

namespace ui {
namespace {

void ShowErrorDialog(std::exception_ptr error) {
    const std::wstring text = DescribeException(error);
    std::wstring caption = Application::Title();
    if (caption.empty())
        caption = L"Error";
    MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

ExceptionHandler& CurrentHandler() {
    static ExceptionHandler handler = ShowErrorDialog;
    return handler;
}

} // namespace

ExceptionHandler SetExceptionHandler(ExceptionHandler handler) {
    return std::exchange(CurrentHandler(), handler ? std::move(handler) : ShowErrorDialog);
}

void HandleException(std::exception_ptr error) {
    // A handler that fails itself must not take the program down.
    try {
        CurrentHandler()(error);
    } catch (...) {
    }
}

std::wstring DescribeException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return L"Out of memory.";
    } catch (const std::exception& e) {
        return FromUtf8(e.what());
    } catch (...) {
        return L"An unknown error occurred.";
    }
}

} // namespace ui
