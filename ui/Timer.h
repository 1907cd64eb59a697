// A window timer owned by a form. It ticks only while it is enabled and its
// interval is not 0; any change of either re-arms it, so the next tick comes
// one full interval after the change. Windows raises intervals below its
// minimum (10 ms) to that minimum.
//
// Window timers fire up to a system tick late. To tick when it is due, the
// timer asks Windows for a tick slightly early and waits out the last moment
// itself on the GUI thread, so a 50 ms interval is 50 ms, not 50-52. Where
// the window timer cannot be set early enough (intervals close to its 10 ms
// minimum), a precise wake-up (TPreciseWake) asks for the early tick, and
// the window timer stays set for the due time in case it does not come. Work
// that may be done a moment before the due time goes into OnEarly: it runs
// as the early tick arrives, before the wait, so a slow call there (up to
// the lead) does not make the tick late.
#pragma once

#include "ui/Component.h"
#include "ui/PreciseWake.h"

#include <windows.h>

#include <chrono>
#include <functional>

namespace ui {

class TForm;

class TTimer : public TComponent {
  public:
    TTimer(TForm& form, UINT interval = 1000, bool enabled = false);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT interval);
    // Whether a tick is pending (enabled with a non-zero interval).
    bool Armed() const { return armed_; }

    // Runs as a tick arrives, before the wait for the due time; OnTimer
    // follows at once. Only armed timers call it.
    std::function<void()> OnEarly;
    std::function<void()> OnTimer;

  private:
    using Clock = std::chrono::steady_clock;

    friend class TForm;
    void Tick();
    // A precise wake-up arrived; only the latest one ticks.
    void Wake(LPARAM number);
    void Rearm();
    void Schedule(Clock::time_point due);
    // Ends the window timer and any precise wake-up.
    void Stop();

    TForm& form_;
    UINT_PTR id_;
    TPreciseWake wake_{id_};
    UINT interval_;
    bool enabled_;
    bool armed_ = false;
    Clock::time_point due_{};
    unsigned generation_ = 0;    // counts re-arms, to tell whether a handler re-armed
    bool ticking_ = false;       // OnTimer is running
    bool stopAfterTick_ = false; // stopped in OnTimer; the window timer ends after it
};

} // namespace ui
