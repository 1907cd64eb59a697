#include "ui/Timer.h"

#include "ui/Form.h"

#include <algorithm>
#include <thread>

namespace ui {
namespace {

using std::chrono::milliseconds;

// Windows' shortest timer period; shorter intervals are raised to it.
constexpr UINT kMinimumInterval = USER_TIMER_MINIMUM;
// How much earlier than due the window timer is set. Covers the lateness of
// window timers (one tick of the 1 ms timer resolution, plus scheduling).
constexpr milliseconds kLead{2};
// A tick this close to its due time came from the early window timer (the
// lead plus rounding to whole milliseconds) and waits for the due time.
constexpr milliseconds kWaitWindow = kLead * 2 + milliseconds(1);

UINT EffectiveInterval(UINT interval) {
    return std::max(interval, kMinimumInterval);
}

} // namespace

TTimer::TTimer(TForm& form, UINT interval, bool enabled)
    : TComponent(&form), form_(form), id_(form.AddTimer(this)), interval_(interval),
      enabled_(enabled) {
    Rearm();
}

TTimer::~TTimer() {
    form_.RemoveTimer(id_);
}

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Rearm();
}

void TTimer::SetInterval(UINT interval) {
    interval_ = interval;
    Rearm();
}

void TTimer::Rearm() {
    // The next tick is one interval after this change: take the time before
    // any call into the window system, whose duration varies from call to
    // call and would otherwise vary the interval.
    const Clock::time_point changed = Clock::now();
    ++generation_;
    if (!form_.Handle())
        return;
    const bool wasArmed = armed_;
    armed_ = enabled_ && interval_ != 0;
    if (armed_) {
        // Setting a window timer again replaces it: no need to end it first.
        Schedule(changed + milliseconds(EffectiveInterval(interval_)));
    } else if (wasArmed) {
        // A handler that stops its own timer usually starts it again when
        // its work is done, which replaces the window timer anyway; ending
        // it waits until then, so the handler's work does not wait for it.
        if (ticking_)
            stopAfterTick_ = true;
        else
            Stop();
    }
}

void TTimer::Stop() {
    stopAfterTick_ = false;
    KillTimer(form_.Handle(), id_);
    wake_.Cancel();
}

void TTimer::Schedule(Clock::time_point due) {
    due_ = due;
    stopAfterTick_ = false;
    const auto wait = std::chrono::duration_cast<milliseconds>(due - Clock::now());
    const bool windowTimerLeads = wait > kLead + milliseconds(kMinimumInterval);
    const auto early = windowTimerLeads ? wait - kLead : wait;
    SetTimer(form_.Handle(), id_, static_cast<UINT>(std::max<long long>(early.count(), 1)),
             nullptr);
    if (windowTimerLeads)
        wake_.Cancel();
    else
        wake_.Set(form_.Handle(), due - kLead);
}

void TTimer::Wake(LPARAM number) {
    if (wake_.IsLatest(number))
        Tick();
}

void TTimer::Tick() {
    if (!armed_) {
        // A window timer left by a handler that stopped it and then failed.
        if (stopAfterTick_)
            Stop();
        return;
    }
    if (OnEarly)
        OnEarly();
    // The window timer was set a little early: wait out the rest, yielding.
    // A tick that comes earlier than that (not from the window timer) is
    // taken as it comes.
    for (auto now = Clock::now(); now < due_ && due_ - now <= kWaitWindow; now = Clock::now())
        std::this_thread::yield();
    const unsigned generation = generation_;
    const Clock::time_point due = due_;
    {
        // Cleared however the handler ends, so a later stop is not deferred.
        struct Ticking {
            bool& flag;
            explicit Ticking(bool& f) : flag(f) { flag = true; }
            ~Ticking() { flag = false; }
        } ticking(ticking_);
        if (OnTimer)
            OnTimer();
    }
    if (stopAfterTick_ && !armed_ && form_.Handle())
        Stop();
    // A timer left running by its handler ticks again one interval after
    // this tick was due.
    if (generation == generation_ && armed_ && form_.Handle()) {
        const auto interval = milliseconds(EffectiveInterval(interval_));
        Clock::time_point next = due + interval;
        if (next < Clock::now())
            next = Clock::now() + interval;
        Schedule(next);
    }
}

} // namespace ui
