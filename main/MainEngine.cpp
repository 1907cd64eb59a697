// The click engine: run/stop, one click step per timer tick, and the
// waiting/running states of the status panel and the locked controls.
#include "main/Main.h"

#include "common/Config.h"
#include "common/Translate.h"
#include "core/ConversionError.h"
#include "core/DelayText.h"
#include "core/PositionText.h"
#include "core/RecordLine.h"
#include "main/MainConstants.h"

#include <utility>

namespace {

using namespace mainwindow;

constexpr int kClickAfterDefault = 0;
constexpr int kClickAfterReturn = 1; // put the cursor back after each step

// The first tick follows at once (the platform raises it to its minimum).
constexpr UINT kFirstStepInterval = 1;

// Double clicks pause 100 ms plus 0-9 ms after each press-and-release.
constexpr DWORD kDoubleClickPause = 100;
constexpr int kDoubleClickJitter = 9;

constexpr int kClickDouble = 1;

struct ButtonFlags {
    DWORD press;
    DWORD release;
};
// Left, right, wheel (the middle button).
constexpr ButtonFlags kButtons[] = {
    {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP},
    {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
    {MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP},
};
constexpr int kButtonCount = static_cast<int>(std::size(kButtons));

} // namespace

void TFrmMain::ToggleRun() {
    if (IsRunning)
        StopClicking();
    else
        StartClicking();
}

std::int32_t TFrmMain::EditorDelay() const {
    return core::DelayToMilliseconds(core::NormalizeDelayText(InputInterval.Text()));
}

void TFrmMain::StartClicking() {
    const POINT cursor = input_.GetCursorPos();
    AutoX = cursor.x;
    AutoY = cursor.y;
    AutoM = InputMouse.ItemIndex();
    AutoC = InputClick.ItemIndex();
    AutoD = EditorDelay();
    if (AutoD == 0) {
        Warn(kDelayNotSet);
        return;
    }
    if (CheckRecord.Checked()) {
        if (ListArea.Count() == 0) {
            Warn(kNoRecords);
            return;
        }
        ListArea.Select(-1);
    }
    IsRunning = true;
    timerResolution_.emplace(timerPeriod_);
    TmrClick.SetInterval(kFirstStepInterval);
    TmrClick.SetEnabled(true);
    SetRunningState();
    LockControls(true);
}

void TFrmMain::StopClicking() {
    IsRunning = false;
    TmrClick.SetEnabled(false);
    timerResolution_.reset();
    SetWaitingState();
    LockControls(false);
}

bool TFrmMain::WaitingForRows() const {
    // Record mode with no rows left (deleted during the run).
    return CheckRecord.Checked() && ListArea.Count() == 0;
}

void TFrmMain::TmrClickEarly() {
    // What a step reads is read as the tick arrives, before the timer waits
    // out the last moment: under Wine the cursor read and the monitor check
    // can be round trips to the X server or the Wine server, and the setting
    // read one to the Wine server, and the wait hides them. Move and clicks
    // still come when the step is due, and the step's end (where the next
    // delay counts from) does not wait for any of the reads. Nothing else
    // runs on this thread between here and the step, so what is read is
    // still in force at the step.
    if (WaitingForRows())
        return;
    early_.cursor = input_.GetCursorPos();
    try {
        early_.clickAfter = Orv::ConfigInteger(kClickAfterValue, kClickAfterDefault, false);
    } catch (const Orv::ConfigError&) {
        // Left to the step, which reads it again at its own place and
        // reports the error there, after the clicks.
        early_.clickAfter.reset();
    }
    if (const std::optional<POINT> point = NextClickPoint())
        early_.monitor.emplace(*point, input_.IsOnMonitor(*point));
}

void TFrmMain::TmrClickTimer(ui::TComponent*) {
    // What was read early belongs to this tick only.
    const EarlyReads early = std::exchange(early_, EarlyReads{});
    if (WaitingForRows())
        return; // try again after the current interval
    TmrClick.SetEnabled(false);
    if (CheckRecord.Checked())
        MoveRecordSelection();
    ClickStep(early);
}

int TFrmMain::NextRecordIndex() const {
    const int selected = ListArea.SelectedIndex();
    return selected == ListArea.Count() - 1 ? 0 : selected + 1;
}

std::optional<POINT> TFrmMain::NextClickPoint() const {
    if (!CheckRecord.Checked())
        return POINT{AutoX, AutoY};
    try {
        const core::ScreenPoint point = core::ParsePositionText(ListArea.Row(NextRecordIndex())[0]);
        return POINT{point.x, point.y};
    } catch (const core::ConversionError&) {
        return std::nullopt; // the step reports the row
    }
}

void TFrmMain::MoveRecordSelection() {
    const int next = NextRecordIndex();
    ListArea.Select(next);
    const auto row = ListArea.Row(next);
    const core::ScreenPoint point = core::ParsePositionText(row[0]);
    AutoX = point.x;
    AutoY = point.y;
    AutoM = core::IndexOfItem(InputMouse.Items(), row[1]);
    AutoC = core::IndexOfItem(InputClick.Items(), row[2]);
    AutoD = core::DelayToMilliseconds(core::NormalizeDelayText(row[3]));
}

bool TFrmMain::ClickPointOnMonitor(const EarlyReads& early) {
    const POINT point{AutoX, AutoY};
    if (early.monitor && early.monitor->first.x == point.x && early.monitor->first.y == point.y)
        return early.monitor->second;
    return input_.IsOnMonitor(point);
}

void TFrmMain::ClickStep(const EarlyReads& early) {
    const POINT saved = early.cursor ? *early.cursor : input_.GetCursorPos();
    // A point on no monitor (recorded on one that has since been unplugged,
    // or typed into the record file) is not clicked: Windows would pull the
    // cursor to the edge of the nearest monitor and click whatever lies
    // there. The step moves nothing and presses nothing; the walk and the
    // timer go on as for any other step.
    const bool onMonitor = ClickPointOnMonitor(early);
    if (onMonitor)
        MoveAndClick();
    const int after = early.clickAfter
                          ? *early.clickAfter
                          : Orv::ConfigInteger(kClickAfterValue, kClickAfterDefault, false);
    if (onMonitor && after == kClickAfterReturn)
        input_.SetCursorPos(saved.x, saved.y);
    TmrClick.SetInterval(static_cast<UINT>(AutoD));
    TmrClick.SetEnabled(IsRunning);
}

void TFrmMain::MoveAndClick() {
    input_.SetCursorPos(AutoX, AutoY);
    // One round for a single click, two for a double; an unknown kind (-1)
    // makes none, so the cursor only moves.
    std::uniform_int_distribution<int> jitter(0, kDoubleClickJitter);
    for (int i = 0; i <= AutoC; ++i) {
        if (AutoM >= 0 && AutoM < kButtonCount) {
            input_.MouseEvent(kButtons[AutoM].press);
            input_.MouseEvent(kButtons[AutoM].release);
        }
        if (AutoC == kClickDouble)
            input_.Sleep(kDoubleClickPause + static_cast<DWORD>(jitter(random_)));
    }
}

void TFrmMain::SetWaitingState() {
    PanelMessage.SetFontColor(kWaitingColor);
    PanelMessage.SetCaption(Orv::Translate(kWaitingText));
}

void TFrmMain::SetRunningState() {
    PanelMessage.SetFontColor(kRunningColor);
    PanelMessage.SetCaption(Orv::Translate(kRunningText));
}

void TFrmMain::LockControls(bool locked) {
    ui::TControl* const lockedWhileRunning[] = {&InputMouse,     &InputClick,     &InputInterval,
                                                &InputHotKeyAdd, &InputHotKeyRun, &CheckRecord,
                                                &BtnClear};
    for (ui::TControl* control : lockedWhileRunning)
        control->SetEnabled(!locked);
}

void TFrmMain::Warn(const wchar_t* message) {
    notice_.MessageBox(Handle(), Orv::Translate(message), Caption(), MB_OK | MB_ICONWARNING);
}
