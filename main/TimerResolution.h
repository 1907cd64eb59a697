// Asks Windows for a 1 ms timer resolution for the lifetime of the object, so
// that window timers fire at the delay the user set rather than on the
// default 15.6 ms tick.
#pragma once

#include <windows.h>

class TimerResolution {
  public:
    TimerResolution();
    ~TimerResolution();
    TimerResolution(const TimerResolution&) = delete;
    TimerResolution& operator=(const TimerResolution&) = delete;

  private:
    bool active_;
};
