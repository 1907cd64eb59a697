// One launcher at a time, held by a named mutex.
#pragma once

#include <windows.h>

#include <memory>

namespace launcher {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueKernelHandle = std::unique_ptr<void, KernelHandleCloser>;

class InstanceMutex {
  public:
    // Takes the mutex `name` unless another launcher holds it; a mutex that
    // is taken stays held, and owned, for the life of this object.
    explicit InstanceMutex(const wchar_t* name);

    // False when another launcher holds the name: it opens, it already
    // exists when this process creates it (two starts at the same moment),
    // or this process may not open it (the other copy runs elevated). Any
    // other failure leaves the launcher to go on unprotected.
    bool IsOnly() const { return only_; }

  private:
    UniqueKernelHandle mutex_;
    bool only_ = false;
};

} // namespace launcher
