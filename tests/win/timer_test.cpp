// The window timer: when it ticks, when it does not, and that a tick is never
// swallowed by its wait for the due time.
#include "ui/Form.h"
#include "ui/Handles.h"
#include "ui/ThreadPool.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

namespace {

constexpr UINT_PTR kFirstTimerId = 1; // a form numbers its timers from 1
constexpr DWORD kGenerousWaitMs = 5000;
constexpr DWORD kStoppedWatchMs = 200; // ten periods of the test timer

const ui::FormOptions kOptions{L"TimerTestForm", 100, 100, true, false, false, 0};

struct TimerForm {
    ui::TForm form{kOptions, L"timer", ui::FontSpec{}};
    ui::TTimer timer{form, 20, false};
    int ticks = 0;
    TimerForm() {
        timer.OnTimer = [this] { ++ticks; };
    }

    // Delivers messages until the count is reached or the generous bound
    // passes; returns the count reached.
    int PumpUntil(int wanted) {
        const DWORD start = GetTickCount();
        MSG msg{};
        while (ticks < wanted && GetTickCount() - start < kGenerousWaitMs) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            else
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return ticks;
    }
    void Deliver() { SendMessageW(form.Handle(), WM_TIMER, kFirstTimerId, 0); }
};

TEST(WindowTimer, KeepsTickingWhileItsHandlerLeavesItRunning) {
    TimerForm t;
    t.timer.SetEnabled(true);
    EXPECT_TRUE(t.timer.Armed());
    EXPECT_EQ(t.PumpUntil(3), 3);
}

TEST(WindowTimer, IsOnlyArmedWhenEnabledWithAnInterval) {
    TimerForm t;
    EXPECT_FALSE(t.timer.Armed());
    t.timer.SetInterval(0);
    t.timer.SetEnabled(true);
    EXPECT_FALSE(t.timer.Armed());
    t.Deliver();
    EXPECT_EQ(t.ticks, 0);
    t.timer.SetInterval(20);
    EXPECT_TRUE(t.timer.Armed());
    t.timer.SetEnabled(false);
    EXPECT_FALSE(t.timer.Armed());
    t.Deliver();
    EXPECT_EQ(t.ticks, 0);
}

// The early work runs once before each tick, and never for a timer that is
// no longer armed.
TEST(WindowTimer, EarlyWorkPrecedesEachTickOnly) {
    TimerForm t;
    std::string order;
    t.timer.OnEarly = [&] { order += 'e'; };
    t.timer.OnTimer = [&] {
        order += 't';
        ++t.ticks;
    };
    t.timer.SetEnabled(true);
    ASSERT_EQ(t.PumpUntil(2), 2);
    t.timer.SetEnabled(false);
    t.Deliver();
    EXPECT_EQ(order, "etet");
}

TEST(WindowTimer, ATickLongBeforeItsDueTimeIsTakenAtOnce) {
    TimerForm t;
    t.timer.SetInterval(60000);
    t.timer.SetEnabled(true);
    t.Deliver();
    EXPECT_EQ(t.ticks, 1);
    EXPECT_TRUE(t.timer.Armed());
}

// Near the window timer's minimum the tick is asked for by a precise wake-up
// posted to the form. It ticks once; the same wake-up delivered again after
// the timer has re-armed is stale and changes nothing.
TEST(WindowTimer, AShortIntervalTicksFromItsLatestPreciseWakeOnly) {
    TimerForm t;
    t.timer.SetInterval(USER_TIMER_MINIMUM);
    t.timer.SetEnabled(true);
    MSG wake{};
    const DWORD start = GetTickCount();
    while (!PeekMessageW(&wake, t.form.Handle(), ui::kPreciseWakeMessage, ui::kPreciseWakeMessage,
                         PM_REMOVE) &&
           GetTickCount() - start < kGenerousWaitMs)
        Sleep(1);
    ASSERT_EQ(wake.message, ui::kPreciseWakeMessage);
    EXPECT_EQ(wake.wParam, kFirstTimerId);
    const auto deliver = [&] {
        SendMessageW(t.form.Handle(), wake.message, wake.wParam, wake.lParam);
    };
    deliver();
    EXPECT_EQ(t.ticks, 1);
    deliver();
    EXPECT_EQ(t.ticks, 1);
}

TEST(WindowTimer, AHandlerThatStopsTheTimerGetsNoFurtherTicks) {
    TimerForm t;
    t.timer.OnTimer = [&t] {
        ++t.ticks;
        t.timer.SetEnabled(false);
    };
    t.timer.SetEnabled(true);
    EXPECT_EQ(t.PumpUntil(1), 1);
    EXPECT_FALSE(t.timer.Armed());
    // The window timer itself has ended, not only its ticks: a stopped
    // timer costs no wake-ups. Ten of its periods pass without one.
    MSG msg{};
    bool windowTimerFired = false;
    const DWORD start = GetTickCount();
    while (!windowTimerFired && GetTickCount() - start < kStoppedWatchMs) {
        windowTimerFired =
            PeekMessageW(&msg, t.form.Handle(), WM_TIMER, WM_TIMER, PM_REMOVE) != FALSE;
        Sleep(1);
    }
    EXPECT_FALSE(windowTimerFired);
    t.Deliver();
    EXPECT_EQ(t.ticks, 1);
}

// The precise wake-up's pool must never start a second thread: Wine's default
// pool started extra workers under load and kept them while the wake-ups
// went on. The first callback waits for the second; in a pool of one thread
// the second cannot start until the first gives up.
struct PoolCallbacks {
    ui::UniqueHandle secondRan{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ui::UniqueHandle bothDone{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<DWORD> firstWait{WAIT_FAILED};
    std::atomic<DWORD> firstThread{0}, secondThread{0};
    std::atomic<int> done{0};
    void Finish() {
        if (++done == 2)
            SetEvent(bothDone.get());
    }
};

TEST(OneThreadPool, RunsItsCallbacksOneAfterAnotherOnOneThread) {
    constexpr DWORD kFirstWaitsMs = 1000; // ample for a second thread to start
    const ui::UniqueThreadPool pool = ui::OneThreadPool();
    ASSERT_TRUE(pool);
    TP_CALLBACK_ENVIRON environment;
    InitializeThreadpoolEnvironment(&environment);
    SetThreadpoolCallbackPool(&environment, pool.get());
    PoolCallbacks calls;
    const auto first = [](PTP_CALLBACK_INSTANCE, void* context) {
        auto* c = static_cast<PoolCallbacks*>(context);
        c->firstThread = GetCurrentThreadId();
        c->firstWait = WaitForSingleObject(c->secondRan.get(), kFirstWaitsMs);
        c->Finish();
    };
    const auto second = [](PTP_CALLBACK_INSTANCE, void* context) {
        auto* c = static_cast<PoolCallbacks*>(context);
        c->secondThread = GetCurrentThreadId();
        SetEvent(c->secondRan.get());
        c->Finish();
    };
    ASSERT_TRUE(TrySubmitThreadpoolCallback(first, &calls, &environment));
    ASSERT_TRUE(TrySubmitThreadpoolCallback(second, &calls, &environment));
    ASSERT_EQ(WaitForSingleObject(calls.bothDone.get(), kGenerousWaitMs), WAIT_OBJECT_0);
    EXPECT_EQ(calls.firstWait, static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(calls.secondThread, calls.firstThread);
    DestroyThreadpoolEnvironment(&environment);
}

} // namespace
