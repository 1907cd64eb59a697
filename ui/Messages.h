// The program's own window messages, in one list so that no two share a
// number. They lie in the WM_APP range, which is the program's to use.
#pragma once

#include <windows.h>

namespace ui {

// Tells the main window that error reports of other threads are waiting
// (see Guard.h).
inline constexpr UINT kPendingReportsMessage = WM_APP + 0x0E77;
// A precise wake-up of a timer, posted as (message, wParam = the sender's
// id, lParam = the wake number) (see PreciseWake.h).
inline constexpr UINT kPreciseWakeMessage = WM_APP + 0x0E78;

} // namespace ui
