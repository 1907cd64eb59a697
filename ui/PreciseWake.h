// A one-shot wake-up finer than a window timer's. Window timers cannot be
// set for less than 10 ms, so a timer of 10-12 ms cannot ask for its tick
// early and wait out the last moment itself; it ticks as late as the window
// timer comes. This posts a message to a window at a given moment instead,
// from a thread-pool timer, and a timer of any interval can ask for it.
//
// A wake-up can still be on its way when it is cancelled or set again: each
// carries the number it was set with, and the receiver ignores all but the
// latest.
//
// The timer runs in a pool of its own with at most one thread. In the
// process's default pool, Wine started an extra worker thread now and then
// when a wake-up came while the machine was busy, and kept every such
// worker while the wake-ups went on (each holds about 1 MiB): over hours of
// clicking under load the program grew without end. One thread is all a
// wake-up that only posts a message needs.
#pragma once

#include "ui/Messages.h"
#include "ui/ThreadPool.h"

#include <windows.h>

#include <atomic>
#include <chrono>

namespace ui {

class TPreciseWake {
  public:
    using Clock = std::chrono::steady_clock;

    explicit TPreciseWake(WPARAM id);
    ~TPreciseWake();
    TPreciseWake(const TPreciseWake&) = delete;
    TPreciseWake& operator=(const TPreciseWake&) = delete;

    // Posts kPreciseWakeMessage to `window` at `when` (at once if it has
    // passed), replacing any wake-up still to come. Does nothing when
    // Windows gave no thread-pool timer; the window timer then ticks alone.
    void Set(HWND window, Clock::time_point when);
    // No wake-up comes after this from an earlier Set, except one already
    // posted; its number is no longer Latest.
    void Cancel();
    // Whether `number` belongs to the latest Set and no Cancel followed.
    bool IsLatest(LPARAM number) const {
        return armed_ && static_cast<unsigned>(number) == number_;
    }

  private:
    static void CALLBACK Fire(PTP_CALLBACK_INSTANCE, void* context, PTP_TIMER);

    const WPARAM id_;
    // Declared before the timer, which is closed first (in the destructor).
    UniqueThreadPool pool_;
    TP_CALLBACK_ENVIRON environment_{};
    PTP_TIMER timer_ = nullptr;
    bool armed_ = false;
    unsigned number_ = 0;
    // Read by the pool's thread when the wake-up is due.
    std::atomic<HWND> window_{nullptr};
    std::atomic<unsigned> postedNumber_{0};
};

} // namespace ui
