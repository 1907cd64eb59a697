// Asks Windows for a 1 ms timer resolution for the lifetime of the object, so
// that window timers fire at the delay the user set rather than on the
// default 15.6 ms tick. The request is system-wide and costs power while it
// is held, so it is held only while clicking runs.
#pragma once

#include <windows.h>

// The system calls behind a resolution request; tests substitute a recorder.
class ITimerPeriod {
  public:
    virtual ~ITimerPeriod() = default;
    // Asks for the resolution; false when Windows refuses it.
    virtual bool Request(UINT milliseconds) = 0;
    // Gives back a request that succeeded.
    virtual void Release(UINT milliseconds) = 0;
};

ITimerPeriod& WindowsTimerPeriod();

class TimerResolution {
  public:
    explicit TimerResolution(ITimerPeriod& period);
    ~TimerResolution();
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

  private:
    ITimerPeriod& period_;
    bool active_;
};
