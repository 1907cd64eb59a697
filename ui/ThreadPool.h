// Ownership of a private thread pool, and a pool limited to one thread.
#pragma once

#include <windows.h>

#include <memory>

namespace ui {

struct ThreadPoolCloser {
    void operator()(PTP_POOL pool) const { CloseThreadpool(pool); }
};
using UniqueThreadPool = std::unique_ptr<TP_POOL, ThreadPoolCloser>;

// A pool that runs its callbacks on one thread at most, one after another;
// null when Windows cannot make one.
inline UniqueThreadPool OneThreadPool() {
    UniqueThreadPool pool(CreateThreadpool(nullptr));
    if (pool)
        SetThreadpoolThreadMaximum(pool.get(), 1);
    return pool;
}

} // namespace ui
