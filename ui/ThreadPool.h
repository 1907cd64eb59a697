// A private thread pool limited to one thread.
#pragma once

#include "ui/Handles.h"

#include <windows.h>

namespace ui {

// A pool that runs its callbacks on one thread at most, one after another;
// null when Windows cannot make one.
inline UniqueThreadPool OneThreadPool() {
    UniqueThreadPool pool(CreateThreadpool(nullptr));
    if (pool)
        SetThreadpoolThreadMaximum(pool.get(), 1);
    return pool;
}

} // namespace ui
