// The delay editor driven with real edit-control messages: typing, Delete,
// Backspace, selections, text set from outside, paste and cut.
#include "Fixtures.h"

#include "ui/MaskEdit.h"

#include <cstring>

namespace {

constexpr wchar_t kNone = 0;
constexpr wchar_t kDeleteKey = 1;
constexpr wchar_t kBackspaceKey = VK_BACK;
constexpr DWORD kSameAsCaret = ~DWORD{0};

class MaskEditTest : public testing::Test {
  protected:
    std::unique_ptr<ui::TForm> host = wintest::MakeHostForm();
    ui::TMaskEdit edit{host.get(), host.get(), {10, 10, 93, 21}, L':'};

    HWND Handle() const { return edit.Handle(); }
    void Select(int start, int end) { SendMessageW(Handle(), EM_SETSEL, start, end); }
    void Type(wchar_t ch) { SendMessageW(Handle(), WM_CHAR, ch, 1); }
    void PressDelete() { SendMessageW(Handle(), WM_KEYDOWN, VK_DELETE, 1); }
    void Press(wchar_t key) {
        if (key == kDeleteKey)
            PressDelete();
        else if (key != kNone)
            Type(key);
    }
    std::wstring Shown() const {
        wchar_t buffer[64] = {};
        GetWindowTextW(Handle(), buffer, 64);
        return buffer;
    }
    std::pair<DWORD, DWORD> Selection() const {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void PutOnClipboard(const std::wstring& text) {
        ASSERT_TRUE(OpenClipboard(Handle()));
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        ASSERT_NE(memory, nullptr);
        std::memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
    }
    std::wstring ClipboardText() {
        std::wstring text;
        if (!OpenClipboard(Handle()))
            return text;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }
};

TEST_F(MaskEditTest, StartsUnfilled) {
    EXPECT_EQ(Shown(), L"00:00:00.00");
    EXPECT_EQ(edit.DisplayText(), L"00:00:00.00");
    EXPECT_EQ(edit.Text(), L"  :  :  .  ");
}

struct KeyCase {
    const char* name;
    const wchar_t* before;
    int selStart;
    int selEnd;
    wchar_t key; // a character, kDeleteKey or kBackspaceKey
    const wchar_t* after;
    DWORD caret;
    DWORD selectionEnd = kSameAsCaret;
};

class MaskEditKeys : public MaskEditTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(MaskEditKeys, EditsOnlyTheDigitPositions) {
    const KeyCase& c = GetParam();
    edit.SetText(c.before);
    Select(c.selStart, c.selEnd);
    Press(c.key);
    EXPECT_EQ(Shown(), c.after);
    EXPECT_EQ(edit.DisplayText(), c.after);
    EXPECT_EQ(Selection(),
              std::make_pair(c.caret, c.selectionEnd == kSameAsCaret ? c.caret : c.selectionEnd));
}

constexpr wchar_t kBlank[] = L"  :  :  .  ";
constexpr wchar_t kFull[] = L"12:34:56.78";

INSTANTIATE_TEST_SUITE_P(
    Keys, MaskEditKeys,
    testing::Values(
        KeyCase{"DigitAtStart", kBlank, 0, 0, L'1', L"10:00:00.00", 1},
        KeyCase{"DigitOnSeparatorGoesToTheNextDigit", kBlank, 2, 2, L'5', L"00:50:00.00", 4},
        KeyCase{"DigitOnDecimalPoint", kBlank, 8, 8, L'7', L"00:00:00.70", 10},
        KeyCase{"DigitOverwrites", kFull, 4, 4, L'9', L"12:39:56.78", 5},
        KeyCase{"DigitAtEndIsRefused", kFull, 11, 11, L'9', L"12:34:56.78", 11},
        KeyCase{"LetterIsRefused", kBlank, 0, 0, L'a', L"00:00:00.00", 0},
        KeyCase{"SeparatorIsRefused", kFull, 2, 2, L':', L"12:34:56.78", 2},
        KeyCase{"SpaceIsRefused", kFull, 0, 0, L' ', L"12:34:56.78", 0},
        KeyCase{"DigitReplacesWholeSelection", kFull, 0, 11, L'5', L"50:00:00.00", 1},
        KeyCase{"DigitReplacesPartOfTheText", kFull, 3, 8, L'9', L"12:90:00.78", 4},
        KeyCase{"RefusedCharacterKeepsTheSelectedText", kFull, 0, 11, L'x', L"12:34:56.78", 0, 11},
        KeyCase{"DeleteClearsTheDigitAtTheCaret", kFull, 0, 0, kDeleteKey, L"02:34:56.78", 0},
        KeyCase{"DeleteOnSeparatorClearsTheNextDigit", kFull, 2, 2, kDeleteKey, L"12:04:56.78", 2},
        KeyCase{"DeleteClearsTheSelection", kFull, 0, 5, kDeleteKey, L"00:00:56.78", 0},
        KeyCase{"DeleteAtEndDoesNothing", kFull, 11, 11, kDeleteKey, L"12:34:56.78", 11},
        KeyCase{"ReversedSelection", kFull, 5, 0, kDeleteKey, L"00:00:56.78", 0},
        KeyCase{"BackspaceSkipsTheSeparator", kFull, 3, 3, kBackspaceKey, L"10:34:56.78", 1},
        KeyCase{"BackspaceAtStartDoesNothing", kFull, 0, 0, kBackspaceKey, L"12:34:56.78", 0},
        KeyCase{"BackspaceClearsTheSelection", kFull, 6, 11, kBackspaceKey, L"12:34:00.00", 6}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(MaskEditTest, EveryDigitShowingZeroReadsAsASpace) {
    Select(0, 0);
    for (const wchar_t ch : std::wstring(L"10203040"))
        Type(ch);
    EXPECT_EQ(Shown(), L"10:20:30.40");
    EXPECT_EQ(edit.Text(), L"1 :2 :3 .4 ");
    Type(L'9'); // no digit position left
    EXPECT_EQ(Shown(), L"10:20:30.40");
}

struct SetTextCase {
    const wchar_t* text;
    const wchar_t* shown;
};

class MaskEditSetText : public MaskEditTest, public testing::WithParamInterface<SetTextCase> {};

TEST_P(MaskEditSetText, TextFromOutsideGoesThroughTheMask) {
    edit.SetText(kFull);
    SendMessageW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(GetParam().text));
    EXPECT_EQ(Shown(), GetParam().shown);
    EXPECT_EQ(edit.DisplayText(), GetParam().shown);
    EXPECT_EQ(GetWindowTextLengthW(Handle()), 11);
}

INSTANTIATE_TEST_SUITE_P(Texts, MaskEditSetText,
                         testing::Values(SetTextCase{L"01:02:03.04", L"01:02:03.04"},
                                         SetTextCase{L"12-34-56,78", L"12:34:56.78"},
                                         SetTextCase{L"1a:b4", L"10:04:00.00"},
                                         SetTextCase{L"", L"00:00:00.00"},
                                         SetTextCase{L"hello world", L"00:00:00.00"},
                                         SetTextCase{L"99:99:99.9912345", L"99:99:99.99"}));

TEST_F(MaskEditTest, SetWindowTextGoesThroughTheMask) {
    SetWindowTextW(Handle(), L"ab:12:cd.34");
    EXPECT_EQ(Shown(), L"00:12:00.34");
    EXPECT_EQ(edit.Text(), L"  :12:  .34");
}

TEST_F(MaskEditTest, NullTextClearsEveryDigit) {
    edit.SetText(kFull);
    SendMessageW(Handle(), WM_SETTEXT, 0, 0);
    EXPECT_EQ(Shown(), L"00:00:00.00");
}

TEST_F(MaskEditTest, PasteTypesOnlyTheDigits) {
    PutOnClipboard(L"1a2 b3");
    Select(0, 0);
    SendMessageW(Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(Shown(), L"12:30:00.00");
    EXPECT_EQ(Selection(), std::make_pair(DWORD{4}, DWORD{4}));
}

TEST_F(MaskEditTest, PasteOverASelectionClearsItFirst) {
    edit.SetText(kFull);
    PutOnClipboard(L"9");
    Select(3, 11);
    SendMessageW(Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(Shown(), L"12:90:00.00");
}

TEST_F(MaskEditTest, CutCopiesTheSelectionAndClearsIt) {
    edit.SetText(kFull);
    PutOnClipboard(L"unchanged");
    Select(0, 5);
    SendMessageW(Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(Shown(), L"00:00:56.78");
    EXPECT_EQ(ClipboardText(), L"12:34");
}

TEST_F(MaskEditTest, CutWithoutSelectionChangesNothing) {
    edit.SetText(kFull);
    PutOnClipboard(L"unchanged");
    Select(4, 4);
    SendMessageW(Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(Shown(), kFull);
    EXPECT_EQ(ClipboardText(), L"unchanged");
}

TEST_F(MaskEditTest, ClearEmptiesTheSelection) {
    edit.SetText(kFull);
    Select(9, 11);
    SendMessageW(Handle(), WM_CLEAR, 0, 0);
    EXPECT_EQ(Shown(), L"12:34:56.00");
}

TEST_F(MaskEditTest, UndoIsIgnored) {
    Select(0, 0);
    Type(L'4');
    SendMessageW(Handle(), EM_UNDO, 0, 0);
    SendMessageW(Handle(), WM_UNDO, 0, 0);
    EXPECT_EQ(Shown(), L"40:00:00.00");
}

TEST(MaskEditLocale, MainWindowEditorUsesTheSessionTimeSeparator) {
    EXPECT_EQ(ui::LocaleTimeSeparator(), L':');
    wintest::MainWindow window(false);
    EXPECT_EQ(window->InputInterval.DisplayText(), L"00:00:00.00");
    EXPECT_EQ(window->InputInterval.Text(), L"  :  :  .  ");
}

} // namespace
