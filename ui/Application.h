// Program-wide window state: the application title and the message loop.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class TForm;

class Application {
  public:
    // The program's main window: it owns the error reports and receives the
    // reports of other threads. Set before the window's creation sequence
    // runs; readable from any thread.
    static void SetMainForm(TForm& form);
    static HWND MainWindow();

    // Runs the message loop until the main form has closed. Keyboard
    // navigation between controls (Tab, arrows) goes through the dialog
    // manager.
    static void Run(TForm& mainForm);
};

} // namespace ui
