#include "main/SingleInstance.h"

SingleInstance::SingleInstance(const wchar_t* mutexName) {
    if (HANDLE other = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName)) {
        CloseHandle(other);
        return;
    }
    // Two starts at the same moment can both miss the mutex above; the one
    // whose create finds it already there is the second.
    mutex_.reset(CreateMutexW(nullptr, TRUE, mutexName));
    first_ = GetLastError() != ERROR_ALREADY_EXISTS;
}
