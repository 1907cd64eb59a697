#include "main/TimerResolution.h"

#include <mmsystem.h>

namespace {
constexpr UINT kResolutionMs = 1;
}

TimerResolution::TimerResolution() : active_(timeBeginPeriod(kResolutionMs) == TIMERR_NOERROR) {}

TimerResolution::~TimerResolution() {
    if (active_)
        timeEndPeriod(kResolutionMs);
}
