// The launcher. For now it only keeps a second copy of itself from running;
// the update check and the start of the main program follow.
#include <windows.h>

namespace {
constexpr wchar_t kInstanceMutex[] = L"MirvexServiceMutex";
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HANDLE other = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kInstanceMutex);
    if (other) {
        CloseHandle(other);
        return 0;
    }
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kInstanceMutex);
    if (mutex)
        CloseHandle(mutex);
    return 0;
}
