// The global hotkeys: what start-up registers and stores, changes from the
// editors, the hot key editor's value mapping and keys, and the dispatch of
// WM_HOTKEY. Also: the selectors cannot be typed into.
#include "Fixtures.h"

#include "ui/ComboBox.h"
#include "ui/HotKeyEdit.h"

#include <commctrl.h>

namespace {

using wintest::CombinationIsFree;
using wintest::MainWindow;
using wintest::StoredDword;
using wintest::StoreDword;

constexpr core::ShortCut kF3 = VK_F3; // 114, the default run key
constexpr core::ShortCut kF4 = VK_F4; // 115, the default add key
constexpr core::ShortCut kCtrlF5 = 0x4000 | VK_F5;

class HotKeys : public wintest::CleanStateTest {};

TEST_F(HotKeys, StartWithoutSettingsRegistersAndStoresTheDefaults) {
    MainWindow window;
    EXPECT_EQ(window->InputHotKeyRun.Value(), kF3);
    EXPECT_EQ(window->InputHotKeyAdd.Value(), kF4);
    EXPECT_EQ(StoredDword(L"hotkey_run"), 114u);
    EXPECT_EQ(StoredDword(L"hotkey_add"), 115u);
    EXPECT_FALSE(CombinationIsFree(0, VK_F3));
    EXPECT_FALSE(CombinationIsFree(0, VK_F4));
    EXPECT_NE(wintest::RunHotKeyId(), wintest::kAddHotKeyId);
}

TEST_F(HotKeys, ChangedRunCombinationIsRegisteredAndStored) {
    MainWindow window;
    window->InputHotKeyRun.SetValue(kCtrlF5);
    window->InputHotKeyRunChange(&window->InputHotKeyRun);
    EXPECT_EQ(StoredDword(L"hotkey_run"), 16500u);
    EXPECT_FALSE(CombinationIsFree(MOD_CONTROL, VK_F5));
    EXPECT_TRUE(CombinationIsFree(0, VK_F3));
}

TEST_F(HotKeys, CombinationTakenByTheOtherHotKeyIsRefused) {
    MainWindow window;
    window->InputHotKeyAdd.SetValue(kF3);
    window->InputHotKeyAddChange(&window->InputHotKeyAdd);
    EXPECT_EQ(window->InputHotKeyAdd.Value(), 0);
    EXPECT_EQ(StoredDword(L"hotkey_add"), 115u);
    EXPECT_EQ(window->InputHotKeyRun.Value(), kF3);
    // The empty editor registers nothing.
    EXPECT_TRUE(CombinationIsFree(0, VK_F4));
}

TEST_F(HotKeys, StoredZeroMeansNoHotKey) {
    StoreDword(L"hotkey_run", 0);
    MainWindow window;
    EXPECT_EQ(window->InputHotKeyRun.Value(), 0);
    EXPECT_FALSE(UnregisterHotKey(window->Handle(), static_cast<int>(wintest::RunHotKeyId())));
    EXPECT_EQ(StoredDword(L"hotkey_run"), 0u);
    EXPECT_TRUE(CombinationIsFree(0, VK_F3));
}

TEST_F(HotKeys, StoredBitsBeyondTheKeyAndModifiersAreDropped) {
    StoreDword(L"hotkey_run", 4210); // 0x1072: F3 with bit 12 set
    MainWindow window;
    EXPECT_EQ(window->InputHotKeyRun.Value(), kF3);
    EXPECT_EQ(StoredDword(L"hotkey_run"), 114u);
    EXPECT_FALSE(CombinationIsFree(0, VK_F3));
}

TEST_F(HotKeys, EditorKeyPressReachesTheRunHandler) {
    MainWindow window;
    SendMessageW(window->InputHotKeyRun.Handle(), WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(window->InputHotKeyRun.Value(), VK_DELETE);
    EXPECT_EQ(StoredDword(L"hotkey_run"), static_cast<DWORD>(VK_DELETE));
    EXPECT_TRUE(CombinationIsFree(0, VK_F3));
}

TEST_F(HotKeys, CombinationTypedIntoTheEditorIsRegistered) {
    MainWindow window;
    // An ordinary key: the hot key control takes it and notifies its group
    // box, which hands the notification back to the editor.
    SendMessageW(window->InputHotKeyAdd.Handle(), WM_KEYDOWN, VK_F6, 1);
    EXPECT_EQ(window->InputHotKeyAdd.Value(), VK_F6);
    EXPECT_EQ(StoredDword(L"hotkey_add"), static_cast<DWORD>(VK_F6));
    EXPECT_FALSE(CombinationIsFree(0, VK_F6));
    EXPECT_TRUE(CombinationIsFree(0, VK_F4));
}

TEST_F(HotKeys, RunHotKeyTogglesTheRunOnly) {
    MainWindow window;
    window->WMHotKey(wintest::RunHotKeyId());
    EXPECT_TRUE(window->IsRunning);
    EXPECT_EQ(window->ListArea.Count(), 0);
    window->WMHotKey(wintest::RunHotKeyId());
    EXPECT_FALSE(window->IsRunning);
    EXPECT_EQ(window->ListArea.Count(), 0);
    EXPECT_TRUE(window.notice.beeps.empty());
}

TEST_F(HotKeys, AddHotKeyAddsARecordOnly) {
    MainWindow window;
    window->WMHotKey(0);
    EXPECT_FALSE(window->IsRunning);
    EXPECT_EQ(window->ListArea.Count(), 1);
}

TEST_F(HotKeys, HotKeyMessagesAreDispatchedByTheirId) {
    MainWindow window;
    SendMessageW(window->Handle(), WM_HOTKEY, wintest::RunHotKeyId(), 0);
    EXPECT_TRUE(window->IsRunning);
    SendMessageW(window->Handle(), WM_HOTKEY, wintest::RunHotKeyId(), 0);
    EXPECT_FALSE(window->IsRunning);
    SendMessageW(window->Handle(), WM_HOTKEY, 0x1234, 0);
    EXPECT_FALSE(window->IsRunning);
    EXPECT_EQ(window->ListArea.Count(), 0);
}

struct KeyNameCase {
    std::uint16_t value;
    bool named;
};

class KeyName : public testing::TestWithParam<KeyNameCase> {};

TEST_P(KeyName, OnlyKeysWithANameCanBeHotKeys) {
    EXPECT_EQ(HasKeyName(GetParam().value), GetParam().named);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyName,
                         testing::Values(KeyNameCase{0, false},
                                         KeyNameCase{0x4000, false}, // modifiers alone
                                         KeyNameCase{VK_F3, true}, KeyNameCase{0xE000 | 'A', true},
                                         KeyNameCase{VK_BACK, true},
                                         // Named by the keyboard layout, not by the fixed table.
                                         KeyNameCase{VK_OEM_COMMA, true},
                                         KeyNameCase{0x2000 | VK_OEM_1, true},
                                         // Unassigned virtual-key codes.
                                         KeyNameCase{0xE8, false}, KeyNameCase{0x07, false}));

class HotKeyEditor : public testing::Test {
  protected:
    std::unique_ptr<ui::TForm> host = wintest::MakeHostForm();
    ui::THotKeyEdit editor{host.get(), host.get(), {10, 10, 95, 21}};
    int changes = 0;

    void SetUp() override {
        editor.OnChange = [this] { ++changes; };
    }
    WORD Word() const {
        return static_cast<WORD>(SendMessageW(editor.Handle(), HKM_GETHOTKEY, 0, 0));
    }
};

struct MappingCase {
    core::ShortCut value;
    WORD word;
};

class HotKeyEditorMapping : public HotKeyEditor, public testing::WithParamInterface<MappingCase> {};

TEST_P(HotKeyEditorMapping, ValueAndControlWordCorrespond) {
    editor.SetValue(GetParam().value);
    EXPECT_EQ(Word(), GetParam().word);
    EXPECT_EQ(editor.Value(), GetParam().value);
    editor.SetValue(0);
    SendMessageW(editor.Handle(), HKM_SETHOTKEY, GetParam().word, 0);
    EXPECT_EQ(editor.Value(), GetParam().value);
    EXPECT_EQ(changes, 0);
}

INSTANTIATE_TEST_SUITE_P(Modifiers, HotKeyEditorMapping,
                         testing::Values(MappingCase{VK_F3, 0x0072},
                                         MappingCase{0x2000 | 'A', 0x0141},
                                         MappingCase{0x4000 | 'A', 0x0241},
                                         MappingCase{0x8000 | 'A', 0x0441},
                                         MappingCase{0xE000 | VK_F12, 0x077B}));

TEST_F(HotKeyEditor, ExtendedKeyFlagIsDropped) {
    SendMessageW(editor.Handle(), HKM_SETHOTKEY, (HOTKEYF_EXT | HOTKEYF_CONTROL) << 8 | VK_HOME, 0);
    EXPECT_EQ(editor.Value(), 0x4000 | VK_HOME);
}

TEST_F(HotKeyEditor, OrdinaryKeyRaisesOnChangeOnce) {
    SendMessageW(editor.Handle(), WM_KEYDOWN, 'Q', 1);
    EXPECT_EQ(editor.Value(), 'Q');
    EXPECT_EQ(changes, 1);
}

class HotKeyEditorLiteralKey : public HotKeyEditor, public testing::WithParamInterface<WPARAM> {};

TEST_P(HotKeyEditorLiteralKey, BecomesTheCombinationAndRaisesOnChange) {
    editor.SetValue(kCtrlF5);
    SendMessageW(editor.Handle(), WM_KEYDOWN, GetParam(), 1);
    EXPECT_EQ(editor.Value(), GetParam());
    EXPECT_EQ(changes, 1);
    // The character that follows the key is not taken as an edit.
    SendMessageW(editor.Handle(), WM_CHAR, GetParam(), 1);
    EXPECT_EQ(editor.Value(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Keys, HotKeyEditorLiteralKey,
                         testing::Values(VK_BACK, VK_RETURN, VK_ESCAPE, VK_SPACE, VK_DELETE));

TEST(SelectorTyping, ComboBoxWithoutHandlerSelectsByTypedLetter) {
    // Shows that a typed letter would move the selection if the window let it.
    auto host = wintest::MakeHostForm();
    ui::TComboBox combo(host.get(), host.get(), {0, 0, 95, 21}, {L"Left", L"Right", L"Wheel"});
    combo.SetItemIndex(0);
    SendMessageW(combo.Handle(), WM_CHAR, L'w', 1);
    EXPECT_EQ(combo.ItemIndex(), 2);
}

struct TypedCase {
    bool clickSelector;
    wchar_t key;
};

class SelectorTypingMain : public HotKeys, public testing::WithParamInterface<TypedCase> {};

TEST_P(SelectorTypingMain, TypedLetterChangesNothing) {
    MainWindow window;
    ui::TComboBox& combo = GetParam().clickSelector ? window->InputClick : window->InputMouse;
    const std::wstring before = combo.Text();
    SendMessageW(combo.Handle(), WM_CHAR, GetParam().key, 1);
    EXPECT_EQ(combo.ItemIndex(), 0);
    EXPECT_EQ(combo.Text(), before);
}

INSTANTIATE_TEST_SUITE_P(Keys, SelectorTypingMain,
                         testing::Values(TypedCase{false, L'a'}, TypedCase{false, L'w'},
                                         TypedCase{false, L'R'}, TypedCase{true, L'd'}));

} // namespace
