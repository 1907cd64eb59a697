#include "ui/PreciseWake.h"

#include <algorithm>

namespace ui {
namespace {

// A thread-pool due time: negative means relative, in 100 ns units.
FILETIME RelativeDueTime(TPreciseWake::Clock::duration wait) {
    using Ticks = std::chrono::duration<long long, std::ratio<1, 10'000'000>>;
    const long long ticks = std::max<long long>(std::chrono::duration_cast<Ticks>(wait).count(), 1);
    ULARGE_INTEGER due;
    due.QuadPart = static_cast<ULONGLONG>(-ticks);
    return FILETIME{due.LowPart, due.HighPart};
}

} // namespace

TPreciseWake::TPreciseWake(WPARAM id) : id_(id), pool_(OneThreadPool()) {
    InitializeThreadpoolEnvironment(&environment_);
    // Without a pool of its own the timer runs in the process's default pool.
    if (pool_)
        SetThreadpoolCallbackPool(&environment_, pool_.get());
    timer_ = CreateThreadpoolTimer(Fire, this, &environment_);
}

TPreciseWake::~TPreciseWake() {
    if (timer_) {
        // Stop the timer and wait for a callback under way: it reads this
        // object. The pool closes after the timer (member order).
        SetThreadpoolTimer(timer_, nullptr, 0, 0);
        WaitForThreadpoolTimerCallbacks(timer_, TRUE);
        CloseThreadpoolTimer(timer_);
    }
    DestroyThreadpoolEnvironment(&environment_);
}

void TPreciseWake::Set(HWND window, Clock::time_point when) {
    ++number_;
    armed_ = timer_ != nullptr;
    if (!armed_)
        return;
    // A callback under way would post the new number at the old moment:
    // stop the timer and let such a callback finish first (it only posts).
    SetThreadpoolTimer(timer_, nullptr, 0, 0);
    WaitForThreadpoolTimerCallbacks(timer_, TRUE);
    window_.store(window);
    postedNumber_.store(number_);
    FILETIME due = RelativeDueTime(when - Clock::now());
    // No window length: the wake-up must not be coalesced with others.
    SetThreadpoolTimer(timer_, &due, 0, 0);
}

void TPreciseWake::Cancel() {
    if (!armed_)
        return;
    armed_ = false;
    SetThreadpoolTimer(timer_, nullptr, 0, 0);
}

void CALLBACK TPreciseWake::Fire(PTP_CALLBACK_INSTANCE, void* context, PTP_TIMER) {
    auto* self = static_cast<TPreciseWake*>(context);
    PostMessageW(self->window_.load(), kPreciseWakeMessage, self->id_,
                 static_cast<LPARAM>(self->postedNumber_.load()));
}

} // namespace ui
