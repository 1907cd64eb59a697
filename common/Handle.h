// Ownership of a kernel handle (mutex, event, file), for both programs
// (header only: the launcher links nothing of the main program's).
#pragma once

#include <windows.h>

#include <memory>

namespace Orv {

struct KernelHandleDeleter {
    void operator()(HANDLE handle) const {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleDeleter>;

} // namespace Orv
