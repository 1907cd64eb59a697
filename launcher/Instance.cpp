#include "launcher/Instance.h"

namespace launcher {

InstanceMutex::InstanceMutex(const wchar_t* name) {
    if (const UniqueKernelHandle other{OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name)})
        return;
    const HANDLE created = CreateMutexW(nullptr, TRUE, name);
    const DWORD error = GetLastError();
    mutex_.reset(created);
    only_ = mutex_ ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
}

} // namespace launcher
