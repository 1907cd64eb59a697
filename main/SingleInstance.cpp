#include "main/SingleInstance.h"

SingleInstance::SingleInstance(const wchar_t* mutexName) {
    if (HANDLE other = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, mutexName)) {
        CloseHandle(other);
        return;
    }
    const HANDLE created = CreateMutexW(nullptr, TRUE, mutexName);
    const DWORD error = GetLastError();
    mutex_.reset(created);
    // Two starts at the same moment can both miss the mutex above; the one
    // whose create finds it already there is the second. A mutex this
    // process may not open belongs to a copy running elevated. Any other
    // failure leaves the program to run unprotected.
    first_ = created ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}
