#include "main/UserInput.h"

namespace {

class WindowsInput final : public IUserInput {
  public:
    POINT GetCursorPos() override {
        POINT point{0, 0};
        ::GetCursorPos(&point);
        return point;
    }
    void SetCursorPos(int x, int y) override { ::SetCursorPos(x, y); }
    void MouseEvent(DWORD flags) override { ::mouse_event(flags, 0, 0, 0, 0); }
    void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }
    bool IsOnMonitor(POINT point) override {
        return ::MonitorFromPoint(point, MONITOR_DEFAULTTONULL) != nullptr;
    }
};

class WindowsNotice final : public IUserNotice {
  public:
    int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                   UINT type) override {
        return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    }
    void MessageBeep(UINT type) override { ::MessageBeep(type); }
};

} // namespace

IUserInput& WindowsUserInput() {
    static WindowsInput input;
    return input;
}

IUserNotice& WindowsUserNotice() {
    static WindowsNotice notice;
    return notice;
}
