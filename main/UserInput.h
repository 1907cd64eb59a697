// Everything the window does that reaches outside it: cursor and
// synthesized button input, pauses, message boxes and beeps. The program
// uses Windows; tests substitute recorders.
#pragma once

#include <windows.h>

#include <string>

class IUserInput {
  public:
    virtual ~IUserInput() = default;
    virtual POINT GetCursorPos() = 0;
    virtual void SetCursorPos(int x, int y) = 0;
    // One button transition at the current cursor position (mouse_event with
    // dx, dy, data and extra information 0).
    virtual void MouseEvent(DWORD flags) = 0;
    virtual void Sleep(DWORD milliseconds) = 0;
    // Whether a point of the virtual screen lies on a monitor that is there.
    virtual bool IsOnMonitor(POINT point) = 0;
};

class IUserNotice {
  public:
    virtual ~IUserNotice() = default;
    virtual int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                           UINT type) = 0;
    virtual void MessageBeep(UINT type) = 0;
};

IUserInput& WindowsUserInput();
IUserNotice& WindowsUserNotice();
