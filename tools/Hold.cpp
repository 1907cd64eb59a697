#include "Hold.h"

namespace hold {

void PumpMessagesFor(unsigned seconds) {
    const ULONGLONG end = GetTickCount64() + 1000ULL * seconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

UniqueWindow WindowOfClass(const std::wstring& className) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc))
        return nullptr;
    return UniqueWindow(CreateWindowExW(0, className.c_str(), L"", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                        100, nullptr, nullptr, wc.hInstance, nullptr));
}

ui::UniqueHandle LockedMutex(const wchar_t* name) {
    ACL emptyAcl{};
    SECURITY_DESCRIPTOR descriptor{};
    if (!InitializeAcl(&emptyAcl, sizeof(emptyAcl), ACL_REVISION) ||
        !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, &emptyAcl, FALSE))
        return nullptr;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
    return ui::UniqueHandle(CreateMutexW(&attributes, TRUE, name));
}

} // namespace hold
