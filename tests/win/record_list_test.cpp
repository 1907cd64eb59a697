// The record list: adding the cursor position, deleting and clearing rows.
#include "Fixtures.h"

namespace {

using wintest::MainWindow;

using Row = std::vector<std::wstring>;

class RecordList : public wintest::MainWindowTest {
  protected:
    std::vector<Row> Rows() { return wintest::ListRows(Form().ListArea); }
};

struct AddCase {
    POINT cursor;
    int button;
    int kind;
    const wchar_t* delay;
    Row expected;
};

class AddRecord : public RecordList, public testing::WithParamInterface<AddCase> {};

TEST_P(AddRecord, AppendsTheCursorSelectorsAndNormalisedDelay) {
    const AddCase& c = GetParam();
    Form().ListArea.AddRow({L"0x0", L"Left", L"Single", L"00:00:01.00"});
    window->input.cursor = c.cursor;
    Form().InputMouse.SetItemIndex(c.button);
    Form().InputClick.SetItemIndex(c.kind);
    Form().InputInterval.SetText(c.delay);
    Form().AddRecord();
    ASSERT_EQ(Form().ListArea.Count(), 2);
    EXPECT_EQ(Form().ListArea.Row(1), c.expected);
    EXPECT_TRUE(window->notice.boxes.empty());
    EXPECT_TRUE(window->notice.beeps.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AddRecord,
    testing::Values(
        AddCase{{640, 480}, 0, 0, L"  :  : 1.  ", {L"640x480", L"Left", L"Single", L"00:00:01.00"}},
        AddCase{{-5, 300}, 2, 1, L"  :  : 2.5 ", {L"-5x300", L"Wheel", L"Double", L"00:00:02.50"}},
        AddCase{
            {0, -1024}, 1, 0, L"12:34:56.78", {L"0x-1024", L"Right", L"Single", L"12:34:56.78"}},
        AddCase{{1, 2}, 0, 1, L"  :  :  . 1", {L"1x2", L"Left", L"Double", L"00:00:00.01"}}));

TEST_F(RecordList, TwoAddsAtOnePlaceGiveTwoRows) {
    window->input.cursor = {12, 34};
    Form().AddRecord();
    Form().AddRecord();
    const Row row{L"12x34", L"Left", L"Single", L"00:00:01.00"};
    EXPECT_EQ(Rows(), (std::vector<Row>{row, row}));
}

TEST_F(RecordList, AddWhileRunningOnlyBeeps) {
    Form().ToggleRun();
    ASSERT_TRUE(Form().IsRunning);
    Form().AddRecord();
    EXPECT_EQ(Form().ListArea.Count(), 0);
    EXPECT_EQ(window->notice.beeps, (std::vector<UINT>{MB_OK}));
    EXPECT_TRUE(window->notice.boxes.empty());
}

TEST_F(RecordList, AddWithoutDelayWarnsAndAddsNothing) {
    Form().InputInterval.SetText(L"  :  :  .  ");
    Form().AddRecord();
    EXPECT_EQ(Form().ListArea.Count(), 0);
    ASSERT_EQ(window->notice.boxes.size(), 1u);
    EXPECT_EQ(window->notice.boxes[0].text, L"Delay time is not set.");
    EXPECT_EQ(window->notice.boxes[0].caption, L"Mirvex");
    EXPECT_EQ(window->notice.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_TRUE(window->notice.beeps.empty());
}

TEST_F(RecordList, DeleteRemovesOnlyTheSelectedRow) {
    for (const wchar_t* position : {L"1x1", L"2x2", L"3x3"})
        Form().ListArea.AddRow({position, L"Left", L"Single", L"00:00:01.00"});
    Form().ListArea.Select(1);
    Form().N1Click(&Form().N1);
    ASSERT_EQ(Form().ListArea.Count(), 2);
    EXPECT_EQ(Form().ListArea.Cell(0, 0), L"1x1");
    EXPECT_EQ(Form().ListArea.Cell(1, 0), L"3x3");
}

TEST_F(RecordList, DeleteWithoutSelectionDoesNothing) {
    for (const wchar_t* position : {L"1x1", L"2x2"})
        Form().ListArea.AddRow({position, L"Left", L"Single", L"00:00:01.00"});
    Form().N1Click(&Form().N1);
    EXPECT_EQ(Form().ListArea.Count(), 2);
}

TEST_F(RecordList, ClearEmptiesTheList) {
    for (const wchar_t* position : {L"1x1", L"2x2"})
        Form().ListArea.AddRow({position, L"Left", L"Single", L"00:00:01.00"});
    Form().BtnClearClick(&Form().BtnClear);
    EXPECT_EQ(Form().ListArea.Count(), 0);
}

TEST_F(RecordList, ClearButtonClickReachesTheHandler) {
    Form().ListArea.AddRow({L"1x1", L"Left", L"Single", L"00:00:01.00"});
    SendMessageW(Form().BtnClear.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(Form().ListArea.Count(), 0);
}

TEST_F(RecordList, AddHotKeyMessageAddsARow) {
    window->input.cursor = {8, 9};
    SendMessageW(Form().Handle(), WM_HOTKEY, wintest::kAddHotKeyId, 0);
    EXPECT_EQ(Rows(), (std::vector<Row>{{L"8x9", L"Left", L"Single", L"00:00:01.00"}}));
}

} // namespace
