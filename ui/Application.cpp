#include "ui/Application.h"

#include "ui/Form.h"

#include <atomic>

namespace ui {
namespace {

std::atomic<HWND> g_mainWindow{nullptr};

void Deliver(HWND dialog, MSG& msg) {
    if (dialog && IsDialogMessageW(dialog, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

} // namespace

void Application::SetMainForm(TForm& form) {
    g_mainWindow = form.Handle();
}

HWND Application::MainWindow() {
    return g_mainWindow;
}

void Application::Run(TForm& mainForm) {
    SetMainForm(mainForm);
    MSG msg{};
    while (!mainForm.Closed()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        Deliver(mainForm.Handle(), msg);
    }
}

} // namespace ui
