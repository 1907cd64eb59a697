// One running copy of a program per logon session, held by a named mutex
// that lives as long as this object; for both programs (header only: the
// launcher links nothing of the main program's).
#pragma once

#include "common/Handle.h"

#include <windows.h>

namespace Orv {

class SingleInstance {
  public:
    // Takes the mutex `name` unless another copy holds it; a mutex that is
    // taken stays held, and owned, for the life of this object.
    explicit SingleInstance(const wchar_t* name) {
        if (const UniqueHandle other{OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name)})
            return;
        const HANDLE created = CreateMutexW(nullptr, TRUE, name);
        const DWORD error = GetLastError();
        mutex_.reset(created);
        // Two starts at the same moment can both miss the mutex above; the
        // one whose create finds it already there is the second. A mutex
        // this process may not open belongs to a copy running elevated. Any
        // other failure leaves the program to run unprotected.
        first_ = created ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
    }

    // False when another copy holds the name: this one must end silently.
    bool IsFirst() const { return first_; }

  private:
    UniqueHandle mutex_;
    bool first_ = false;
};

} // namespace Orv
