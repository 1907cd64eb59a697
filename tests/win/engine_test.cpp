// The click engine: starting and stopping, one click step per timer tick,
// the cursor afterwards, and the walk through the record list.
#include "Fixtures.h"

#include <algorithm>
#include <tuple>

namespace {

using wintest::MainWindow;
using wintest::RecordingInput;

constexpr COLORREF kSilver = 0xC0C0C0;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr UINT kWarning = MB_OK | MB_ICONWARNING;
constexpr wchar_t kDelayNotSet[] = L"Delay time is not set.";
constexpr wchar_t kNoRecords[] = L"There is no information registered in the record.";
constexpr wchar_t kBlankDelay[] = L"  :  :  .  ";
constexpr wchar_t kOneSecond[] = L"  :  : 1.  ";

// A double click's pause, 100 ms plus up to 9 ms, stands as this in the
// expected sequences below.
constexpr long kPause = -1;
constexpr long kMinPause = 100;
constexpr long kMaxPause = 109;

constexpr long kLeftDown = MOUSEEVENTF_LEFTDOWN;
constexpr long kLeftUp = MOUSEEVENTF_LEFTUP;
constexpr long kRightDown = MOUSEEVENTF_RIGHTDOWN;
constexpr long kRightUp = MOUSEEVENTF_RIGHTUP;
constexpr long kWheelDown = MOUSEEVENTF_MIDDLEDOWN;
constexpr long kWheelUp = MOUSEEVENTF_MIDDLEUP;

enum { kLeft, kRight, kWheel };
enum { kSingle, kDouble };

// Button flags in order, with every pause inside its range shown as kPause.
std::vector<long> Clicks(const RecordingInput& input) {
    std::vector<long> out = input.ButtonsAndPauses();
    for (long& value : out)
        if (value <= -kMinPause && value >= -kMaxPause)
            value = kPause;
    return out;
}

class EngineTest : public wintest::MainWindowTest {
  protected:
    std::vector<wintest::RecordingNotice::Box>& Boxes() { return window->notice.boxes; }

    void Choose(int button, int kind, const wchar_t* delay = kOneSecond) {
        Form().InputMouse.SetItemIndex(button);
        Form().InputClick.SetItemIndex(kind);
        Form().InputInterval.SetText(delay);
    }
    void StartAt(POINT cursor) {
        Input().cursor = cursor;
        Form().ToggleRun();
    }
    // One timer tick with the recorders emptied first.
    void Step() {
        Input().calls.clear();
        wintest::Tick(Form());
    }
    void AddRows(const std::vector<std::vector<std::wstring>>& rows) {
        for (const auto& row : rows)
            Form().ListArea.AddRow(row);
    }

    // The controls a run locks, then those it must leave alone.
    std::vector<ui::TControl*> Locked() {
        return {&Form().InputMouse,     &Form().InputClick,     &Form().InputInterval,
                &Form().InputHotKeyAdd, &Form().InputHotKeyRun, &Form().CheckRecord,
                &Form().BtnClear};
    }
    std::vector<ui::TControl*> NeverLocked() {
        return {&Form().ListArea,  &Form().ImgLogo,   &Form().GroupBox1,
                &Form().GroupBox2, &Form().GroupBox3, &Form().PanelMessage};
    }
    void ExpectWaiting() {
        EXPECT_FALSE(Form().IsRunning);
        EXPECT_FALSE(Form().TmrClick.Armed());
        EXPECT_EQ(Form().PanelMessage.Caption(), L"Waiting");
        EXPECT_EQ(Form().PanelMessage.FontColor(), kSilver);
        for (ui::TControl* control : Locked())
            EXPECT_TRUE(control->Enabled());
        for (ui::TControl* control : NeverLocked())
            EXPECT_TRUE(control->Enabled());
    }
    void ExpectOneWarning(const wchar_t* text) {
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_EQ(Boxes()[0].text, text);
        EXPECT_EQ(Boxes()[0].caption, L"Mirvex");
        EXPECT_EQ(Boxes()[0].type, kWarning);
    }
};

struct RefusedStartCase {
    const char* name;
    const wchar_t* delay;
    bool recordMode;
    int rows;
    const wchar_t* warning;
};

class RefusedStart : public EngineTest, public testing::WithParamInterface<RefusedStartCase> {};

TEST_P(RefusedStart, WarnsOnceAndChangesNothing) {
    const auto& c = GetParam();
    for (int i = 0; i < c.rows; ++i)
        Form().ListArea.AddRow({L"1x1", L"Left", L"Single", L"00:00:01.00"});
    if (c.rows > 0)
        Form().ListArea.Select(0);
    Form().CheckRecord.SetChecked(c.recordMode);
    Form().InputInterval.SetText(c.delay);
    StartAt({40, 50});
    ExpectOneWarning(c.warning);
    ExpectWaiting();
    EXPECT_TRUE(Input().Moves().empty());
    EXPECT_EQ(Form().ListArea.Count(), c.rows);
    EXPECT_EQ(Form().ListArea.SelectedIndex(), c.rows > 0 ? 0 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedStart,
    testing::Values(RefusedStartCase{"NoDelay", kBlankDelay, false, 0, kDelayNotSet},
                    RefusedStartCase{"NoDelayInRecordMode", kBlankDelay, true, 2, kDelayNotSet},
                    RefusedStartCase{"NoDelayAndNoRecords", kBlankDelay, true, 0, kDelayNotSet},
                    RefusedStartCase{"NoRecords", kOneSecond, true, 0, kNoRecords}),
    [](const testing::TestParamInfo<RefusedStartCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(EngineTest, StartLocksTheInputsAndStopUnlocksThem) {
    Choose(kLeft, kSingle);
    StartAt({1, 2});
    EXPECT_TRUE(Form().IsRunning);
    EXPECT_TRUE(Form().TmrClick.Armed());
    EXPECT_EQ(Form().PanelMessage.Caption(), L"Running");
    EXPECT_EQ(Form().PanelMessage.FontColor(), kYellow);
    for (ui::TControl* control : Locked())
        EXPECT_FALSE(control->Enabled());
    for (ui::TControl* control : NeverLocked())
        EXPECT_TRUE(control->Enabled());
    EXPECT_TRUE(Boxes().empty());

    Form().ToggleRun();
    ExpectWaiting();
}

TEST_F(EngineTest, StatusPanelColourChangesBeforeItsText) {
    std::vector<std::wstring> changes;
    Form().PanelMessage.OnChanged = [&](const wchar_t* property) { changes.push_back(property); };
    Choose(kLeft, kSingle);
    StartAt({1, 2});
    EXPECT_EQ(changes, (std::vector<std::wstring>{L"FontColor", L"Caption"}));
    changes.clear();
    Form().ToggleRun();
    EXPECT_EQ(changes, (std::vector<std::wstring>{L"FontColor", L"Caption"}));
}

struct ClickCase {
    int button;
    int kind;
    std::vector<long> clicks;
};

class ClickStep : public EngineTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(ClickStep, ClicksTheChosenButtonAtTheStartPosition) {
    Choose(GetParam().button, GetParam().kind);
    StartAt({300, 200});
    Input().cursor = {5, 6}; // moved by the user after the start
    Step();
    EXPECT_EQ(Clicks(Input()), GetParam().clicks);
    ASSERT_FALSE(Input().Moves().empty());
    EXPECT_EQ(Input().Moves().front(), (POINT{300, 200}));
    // The cursor is in place before the first button goes down.
    const auto firstMove = std::find_if(Input().calls.begin(), Input().calls.end(), [](auto& c) {
        return c.kind == RecordingInput::Call::SetCursor;
    });
    const auto firstButton = std::find_if(Input().calls.begin(), Input().calls.end(), [](auto& c) {
        return c.kind == RecordingInput::Call::Mouse;
    });
    EXPECT_LT(firstMove - Input().calls.begin(), firstButton - Input().calls.begin());
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ClickStep,
    testing::Values(
        ClickCase{kLeft, kSingle, {kLeftDown, kLeftUp}},
        ClickCase{kRight, kSingle, {kRightDown, kRightUp}},
        ClickCase{kWheel, kSingle, {kWheelDown, kWheelUp}},
        ClickCase{kLeft, kDouble, {kLeftDown, kLeftUp, kPause, kLeftDown, kLeftUp, kPause}},
        ClickCase{kWheel, kDouble, {kWheelDown, kWheelUp, kPause, kWheelDown, kWheelUp, kPause}}));

TEST_F(EngineTest, StepRearmsTheTimerWithTheDelay) {
    Choose(kLeft, kSingle, L"  :  : 2.5 ");
    StartAt({1, 1});
    Step();
    EXPECT_EQ(Form().TmrClick.Interval(), 2050u);
    EXPECT_TRUE(Form().TmrClick.Armed());
    EXPECT_TRUE(Form().IsRunning);
}

TEST_F(EngineTest, RealTimerMessageRunsAStep) {
    Choose(kRight, kSingle);
    StartAt({7, 8});
    Input().calls.clear();
    wintest::SendClickTimer(Form());
    EXPECT_EQ(Clicks(Input()), (std::vector<long>{kRightDown, kRightUp}));
}

// Through the real timer the cursor is read and the click point's monitor
// checked as the tick arrives, before the step begins (its timer still
// armed), once per step; the step still goes read, move, click, restore to
// the position of that very step.
TEST_F(EngineTest, RealTimerReadsTheCursorOncePerStepAsTheTickArrives) {
    using Call = RecordingInput::Call;
    wintest::StoreDword(L"click_after", 1);
    Choose(kLeft, kSingle);
    StartAt({300, 200});
    std::vector<bool> armedAtRead;
    Input().onGetCursor = [&] { armedAtRead.push_back(Form().TmrClick.Armed()); };
    for (const POINT user : {POINT{10, 20}, POINT{30, 40}}) {
        SCOPED_TRACE(user.x);
        Input().cursor = user;
        Input().calls.clear();
        wintest::SendClickTimer(Form());
        std::vector<std::tuple<int, long, long>> calls;
        for (const auto& call : Input().calls)
            calls.emplace_back(call.kind, call.a, call.b);
        EXPECT_EQ(calls,
                  (std::vector<std::tuple<int, long, long>>{{Call::GetCursor, user.x, user.y},
                                                            {Call::Monitor, 300, 200},
                                                            {Call::SetCursor, 300, 200},
                                                            {Call::Mouse, kLeftDown, 0},
                                                            {Call::Mouse, kLeftUp, 0},
                                                            {Call::SetCursor, user.x, user.y}}));
    }
    EXPECT_EQ(armedAtRead, (std::vector<bool>{true, true}));
}

// The 1 ms timer resolution is system-wide: a run holds it, a stop and the
// close give it back, and a refused start never asks for it. A request that
// Windows refused is not given back.
TEST_F(EngineTest, TimerResolutionIsHeldOnlyWhileRunning) {
    const std::vector<long>& period = window->timerPeriod.calls;
    Choose(kLeft, kSingle, kBlankDelay);
    StartAt({1, 2});
    EXPECT_TRUE(period.empty());
    Choose(kLeft, kSingle);
    StartAt({1, 2});
    EXPECT_EQ(period, (std::vector<long>{1}));
    Form().ToggleRun();
    EXPECT_EQ(period, (std::vector<long>{1, -1}));
    window->timerPeriod.granted = false;
    StartAt({1, 2});
    Form().ToggleRun();
    EXPECT_EQ(period, (std::vector<long>{1, -1, 1}));
    window->timerPeriod.granted = true;
    StartAt({1, 2});
    EXPECT_EQ(period, (std::vector<long>{1, -1, 1, 1}));
    Form().Close();
    ASSERT_TRUE(Form().Closed());
    EXPECT_EQ(period, (std::vector<long>{1, -1, 1, 1, -1}));
}

TEST_F(EngineTest, NoStepAfterStop) {
    Choose(kRight, kSingle);
    StartAt({7, 8});
    Form().ToggleRun();
    Input().calls.clear();
    wintest::SendClickTimer(Form());
    EXPECT_TRUE(Input().calls.empty());
}

struct ClickAfterCase {
    const char* name;
    std::optional<DWORD> stored;
    bool returns;
};

class ClickAfter : public EngineTest, public testing::WithParamInterface<ClickAfterCase> {};

TEST_P(ClickAfter, DecidesWhereTheCursorEndsUp) {
    if (GetParam().stored)
        wintest::StoreDword(L"click_after", *GetParam().stored);
    Choose(kLeft, kSingle);
    StartAt({300, 200});
    Input().cursor = {10, 20};
    Step();
    const POINT expected = GetParam().returns ? POINT{10, 20} : POINT{300, 200};
    EXPECT_EQ(Input().cursor, expected);
    EXPECT_EQ(Input().Moves().size(), GetParam().returns ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Values, ClickAfter,
                         testing::Values(ClickAfterCase{"Absent", std::nullopt, false},
                                         ClickAfterCase{"Zero", 0, false},
                                         ClickAfterCase{"One", 1, true},
                                         ClickAfterCase{"Two", 2, false}),
                         [](const testing::TestParamInfo<ClickAfterCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(EngineTest, ClickAfterIsReadAtEveryStep) {
    Choose(kLeft, kSingle);
    StartAt({300, 200});
    Input().cursor = {10, 20};
    Step();
    EXPECT_EQ(Input().cursor, (POINT{300, 200}));
    wintest::StoreDword(L"click_after", 1);
    Input().cursor = {11, 21};
    Step();
    EXPECT_EQ(Input().cursor, (POINT{11, 21}));
    wintest::StoreDword(L"click_after", 0);
    Step();
    EXPECT_EQ(Input().cursor, (POINT{300, 200}));
}

// Through the real timer "click_after" is read as the tick arrives, so the
// step's end does not wait for the read: a change made during the clicks
// counts from the next step.
TEST_F(EngineTest, RealTimerReadsClickAfterAsTheTickArrives) {
    wintest::StoreDword(L"click_after", 1);
    Choose(kLeft, kSingle);
    StartAt({300, 200});
    Input().cursor = {10, 20};
    Input().onMouse = [] { wintest::StoreDword(L"click_after", 0); };
    wintest::SendClickTimer(Form());
    EXPECT_EQ(Input().cursor, (POINT{10, 20}));
    wintest::SendClickTimer(Form());
    EXPECT_EQ(Input().cursor, (POINT{300, 200}));
}

TEST_F(EngineTest, WrongTypedClickAfterStopsTheTicksButNotTheRun) {
    wintest::StoreString(L"click_after", L"1");
    Choose(kLeft, kSingle);
    StartAt({300, 200});
    wintest::ErrorRecorder errors;
    wintest::SendClickTimer(Form());
    // The step clicks before it reads the setting it cannot use.
    EXPECT_EQ(Clicks(Input()), (std::vector<long>{kLeftDown, kLeftUp}));
    EXPECT_EQ(errors.messages, (std::vector<std::wstring>{L"Invalid data type for 'click_after'"}));
    EXPECT_FALSE(Form().TmrClick.Armed());
    EXPECT_TRUE(Form().IsRunning);
    EXPECT_EQ(Form().PanelMessage.Caption(), L"Running");

    Input().calls.clear();
    wintest::SendClickTimer(Form());
    EXPECT_TRUE(Input().calls.empty());
    EXPECT_EQ(errors.messages.size(), 1u);

    Form().ToggleRun();
    ExpectWaiting();
    EXPECT_EQ(errors.messages.size(), 1u);
}

// A point whose monitor goes away during a run (or a row recorded on one)
// is neither moved to nor clicked, nor is the cursor put back; the run goes
// on and clicks again once the monitor is back.
TEST_F(EngineTest, PointOnNoMonitorIsSkippedAndTheRunGoesOn) {
    wintest::StoreDword(L"click_after", 1);
    Choose(kLeft, kDouble, L"  :  : 2.  ");
    StartAt({-1500, 200});
    Input().offMonitor = {{-1500, 200}};
    Step();
    EXPECT_TRUE(Input().Moves().empty());
    EXPECT_TRUE(Clicks(Input()).empty());
    EXPECT_EQ(Form().TmrClick.Interval(), 2000u);
    EXPECT_TRUE(Form().TmrClick.Armed());
    EXPECT_TRUE(Form().IsRunning);
    Input().offMonitor.clear();
    Step();
    EXPECT_EQ(Input().Moves().front(), (POINT{-1500, 200}));
    EXPECT_EQ(Clicks(Input()),
              (std::vector<long>{kLeftDown, kLeftUp, kPause, kLeftDown, kLeftUp, kPause}));
}

TEST_F(EngineTest, StopThenStartReadsEverythingAgain) {
    Choose(kLeft, kSingle, kOneSecond);
    StartAt({1, 2});
    Step();
    Form().ToggleRun();
    Choose(kRight, kDouble, L"  :  : 2.  ");
    StartAt({3, 4});
    Step();
    EXPECT_EQ(Input().Moves().front(), (POINT{3, 4}));
    EXPECT_EQ(Clicks(Input()),
              (std::vector<long>{kRightDown, kRightUp, kPause, kRightDown, kRightUp, kPause}));
    EXPECT_EQ(Form().TmrClick.Interval(), 2000u);
}

class RecordWalk : public EngineTest {
  protected:
    void StartRecordMode() {
        Form().CheckRecord.SetChecked(true);
        Form().InputInterval.SetText(kOneSecond);
        StartAt({999, 999});
        ASSERT_TRUE(Form().IsRunning);
    }
};

TEST_F(RecordWalk, StartClearsTheSelection) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:01.00"},
             {L"2x2", L"Left", L"Single", L"00:00:01.00"}});
    Form().ListArea.Select(1);
    StartRecordMode();
    EXPECT_EQ(Form().ListArea.SelectedIndex(), -1);
}

TEST_F(RecordWalk, StepsThroughTheRowsAndWrapsAround) {
    AddRows({{L"10x11", L"Left", L"Single", L"00:00:01.00"},
             {L"20x21", L"Right", L"Double", L"00:00:00.25"},
             {L"-30x31", L"wheel", L"SINGLE", L"00:00:02.00"}});
    struct Expected {
        int row;
        POINT at;
        std::vector<long> clicks;
        UINT interval;
    };
    const std::vector<Expected> walk{
        {0, {10, 11}, {kLeftDown, kLeftUp}, 1000},
        {1, {20, 21}, {kRightDown, kRightUp, kPause, kRightDown, kRightUp, kPause}, 25},
        {2, {-30, 31}, {kWheelDown, kWheelUp}, 2000},
        {0, {10, 11}, {kLeftDown, kLeftUp}, 1000},
    };
    StartRecordMode();
    for (std::size_t i = 0; i < walk.size(); ++i) {
        SCOPED_TRACE(i);
        Step();
        EXPECT_EQ(Form().ListArea.SelectedIndex(), walk[i].row);
        ASSERT_FALSE(Input().Moves().empty());
        EXPECT_EQ(Input().Moves().front(), walk[i].at);
        EXPECT_EQ(Clicks(Input()), walk[i].clicks);
        EXPECT_EQ(Form().TmrClick.Interval(), walk[i].interval);
        EXPECT_TRUE(Form().TmrClick.Armed());
    }
}

TEST_F(RecordWalk, UnknownButtonClicksNothingButStillPauses) {
    AddRows({{L"5x5", L"Middle", L"Double", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    EXPECT_EQ(Input().Moves().front(), (POINT{5, 5}));
    EXPECT_EQ(Clicks(Input()), (std::vector<long>{kPause, kPause}));
}

TEST_F(RecordWalk, UnknownKindOnlyMovesTheCursor) {
    AddRows({{L"7x8", L"Left", L"Triple", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    EXPECT_EQ(Input().Moves(), (std::vector<POINT>{{7, 8}}));
    EXPECT_TRUE(Clicks(Input()).empty());
    EXPECT_TRUE(Form().TmrClick.Armed());
}

// Only a record file written by hand has a zero delay. Such a row leaves the
// timer enabled with interval 0, which never ticks: the run stays on until
// the user stops it, and the stop works as always.
TEST_F(RecordWalk, ZeroDelayRowHoldsTheRunUntilStopped) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:00.00"},
             {L"2x2", L"Left", L"Single", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    EXPECT_TRUE(Form().TmrClick.Enabled());
    EXPECT_EQ(Form().TmrClick.Interval(), 0u);
    EXPECT_FALSE(Form().TmrClick.Armed());
    EXPECT_TRUE(Form().IsRunning);
    Form().ToggleRun();
    EXPECT_FALSE(Form().IsRunning);
    EXPECT_FALSE(Form().TmrClick.Enabled());
}

TEST_F(RecordWalk, ContinuesAfterTheRowTheUserSelected) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:01.00"},
             {L"2x2", L"Left", L"Single", L"00:00:01.00"},
             {L"3x3", L"Left", L"Single", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    Form().ListArea.Select(1);
    Step();
    EXPECT_EQ(Form().ListArea.SelectedIndex(), 2);
    EXPECT_EQ(Input().Moves().front(), (POINT{3, 3}));
}

struct BadRowCase {
    const char* name;
    std::vector<std::wstring> row;
    std::wstring error;
};

class RecordWalkBadRow : public RecordWalk, public testing::WithParamInterface<BadRowCase> {};

TEST_P(RecordWalkBadRow, ReportsOnceAndLeavesTheTimerOff) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:01.00"},
             GetParam().row,
             {L"3x3", L"Left", L"Single", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    wintest::ErrorRecorder errors;
    Step();
    EXPECT_EQ(errors.messages, (std::vector<std::wstring>{GetParam().error}));
    EXPECT_TRUE(Input().Moves().empty());
    EXPECT_TRUE(Clicks(Input()).empty());
    EXPECT_FALSE(Form().TmrClick.Armed());
    EXPECT_TRUE(Form().IsRunning);

    Form().ToggleRun();
    ExpectWaiting();
    StartRecordMode();
    Step();
    EXPECT_EQ(Form().ListArea.SelectedIndex(), 0);
    EXPECT_EQ(Input().Moves().front(), (POINT{1, 1}));
    EXPECT_EQ(errors.messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, RecordWalkBadRow,
                         testing::Values(BadRowCase{"Position",
                                                    {L"12y5", L"Left", L"Single", L"00:00:01.00"},
                                                    L"'12y5' is not a valid position"},
                                         BadRowCase{"Delay",
                                                    {L"2x2", L"Left", L"Single", L"00:0a:01.00"},
                                                    L"'00:0a:01.00' is not a valid delay"}),
                         [](const testing::TestParamInfo<BadRowCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(RecordWalk, DeletingTheClickedRowRestartsFromTheTop) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:01.00"},
             {L"2x2", L"Left", L"Single", L"00:00:01.00"},
             {L"3x3", L"Left", L"Single", L"00:00:01.00"},
             {L"4x4", L"Left", L"Single", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    Step();
    ASSERT_EQ(Form().ListArea.SelectedIndex(), 1);
    Form().N1Click(&Form().N1);
    ASSERT_EQ(Form().ListArea.Count(), 3);
    EXPECT_EQ(Form().ListArea.SelectedIndex(), -1);
    Step();
    EXPECT_EQ(Input().Moves().front(), (POINT{1, 1}));
    Step();
    EXPECT_EQ(Input().Moves().front(), (POINT{3, 3}));
}

TEST_F(RecordWalk, DeletingAfterReselectingContinuesFromTheSelection) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:01.00"},
             {L"2x2", L"Left", L"Single", L"00:00:01.00"},
             {L"3x3", L"Left", L"Single", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    Form().ListArea.Select(2);
    Form().N1Click(&Form().N1);
    Form().ListArea.Select(0);
    Step();
    EXPECT_EQ(Form().ListArea.SelectedIndex(), 1);
    EXPECT_EQ(Input().Moves().front(), (POINT{2, 2}));
}

TEST_F(RecordWalk, EmptiedListWaitsForRows) {
    AddRows({{L"1x1", L"Left", L"Single", L"00:00:01.00"}});
    StartRecordMode();
    Step();
    Form().N1Click(&Form().N1);
    ASSERT_EQ(Form().ListArea.Count(), 0);
    Step();
    EXPECT_TRUE(Input().calls.empty());
    EXPECT_TRUE(Form().IsRunning);
    EXPECT_TRUE(Form().TmrClick.Armed());
    Form().ListArea.AddRow({L"9x9", L"Right", L"Single", L"00:00:01.00"});
    Step();
    EXPECT_EQ(Input().Moves().front(), (POINT{9, 9}));
    EXPECT_EQ(Clicks(Input()), (std::vector<long>{kRightDown, kRightUp}));
}

} // namespace
