// The two global hotkeys: registration from the hot key editors, storage of
// the combinations that register, and the WM_HOTKEY dispatch.
#include "main/Main.h"

#include "common/Config.h"
#include "core/ShortCut.h"
#include "main/MainConstants.h"

namespace {

using namespace mainwindow;

constexpr int kKeyNameLength = 256;

} // namespace

bool HasKeyName(std::uint16_t shortCut) {
    const auto key = static_cast<std::uint8_t>(shortCut & 0xFF);
    if (key == 0)
        return false;
    if (core::HasFixedKeyName(key))
        return true;
    const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (scanCode == 0)
        return false;
    wchar_t name[kKeyNameLength] = {};
    return GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, kKeyNameLength) != 0;
}

void TFrmMain::ApplyHotKey(std::uint32_t Id, ui::THotKeyEdit& Editor,
                           const std::wstring& ValueName) {
    UnregisterHotKey(Handle(), static_cast<int>(Id));
    const core::ShortCut value = Editor.Value();
    if (!HasKeyName(value))
        return;
    const core::HotKeyParts parts = core::ShortCutToHotKey(value);
    if (RegisterHotKey(Handle(), static_cast<int>(Id), parts.modifiers, parts.virtualKey))
        Orv::ConfigInteger(ValueName, value, true);
    else
        Editor.SetValue(0);
}

void TFrmMain::InputHotKeyRunChange(ui::TComponent*) {
    ApplyHotKey(HotKeyRun, InputHotKeyRun, kHotKeyRunValue);
}

void TFrmMain::InputHotKeyAddChange(ui::TComponent*) {
    ApplyHotKey(HotKeyAdd, InputHotKeyAdd, kHotKeyAddValue);
}

void TFrmMain::WMHotKey(WPARAM Id) {
    if (Id == HotKeyRun)
        ToggleRun();
    if (Id == HotKeyAdd)
        AddRecord();
}

void TFrmMain::InputMouseKeyPress(ui::TComponent*, wchar_t& Key) {
    // The selectors are chosen from, never typed into.
    Key = L'\0';
}
