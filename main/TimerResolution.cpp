#include "main/TimerResolution.h"

#include <mmsystem.h>

namespace {

constexpr UINT kResolutionMs = 1;

class WindowsPeriod final : public ITimerPeriod {
  public:
    bool Request(UINT milliseconds) override {
        return timeBeginPeriod(milliseconds) == TIMERR_NOERROR;
    }
    void Release(UINT milliseconds) override { timeEndPeriod(milliseconds); }
};

} // namespace

ITimerPeriod& WindowsTimerPeriod() {
    static WindowsPeriod period;
    return period;
}

TimerResolution::TimerResolution(ITimerPeriod& period)
    : period_(period), active_(period.Request(kResolutionMs)) {}

TimerResolution::~TimerResolution() {
    if (active_)
        period_.Release(kResolutionMs);
}
