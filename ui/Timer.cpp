#include "ui/Timer.h"

#include "ui/Form.h"

#include <algorithm>

namespace ui {
namespace {

// Windows' shortest timer period; shorter intervals are raised to it.
constexpr UINT kMinimumInterval = USER_TIMER_MINIMUM;

} // namespace

TTimer::TTimer(TForm& form, UINT interval, bool enabled)
    : TComponent(&form), form_(form), id_(form.AddTimer(this)), interval_(interval),
      enabled_(enabled) {
    Rearm();
}

TTimer::~TTimer() { form_.RemoveTimer(id_); }

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Rearm();
}

void TTimer::SetInterval(UINT interval) {
    interval_ = interval;
    Rearm();
}

void TTimer::Rearm() {
    if (!form_.Handle())
        return;
    KillTimer(form_.Handle(), id_);
    armed_ = enabled_ && interval_ != 0;
    if (armed_)
        SetTimer(form_.Handle(), id_, std::max(interval_, kMinimumInterval), nullptr);
}

void TTimer::Tick() {
    if (armed_ && OnTimer)
        OnTimer();
}

} // namespace ui
