// What the window does when it is created and when it closes, and its logo
// link.
#include "main/Main.h"

#include "common/Config.h"
#include "common/Translate.h"
#include "common/Update.h"
#include "core/Hosts.h"
#include "main/StartupMarks.h"
#include "ui/Application.h"

namespace {

constexpr wchar_t kKorean[] = L"ko";
constexpr wchar_t kEnglish[] = L"en";
constexpr wchar_t kVersionPattern[] = L"%d.%d.%d.%d";
constexpr wchar_t kTitleVersionSeparator[] = L" v ";
constexpr wchar_t kWaitingStartText[] = L"  :  : 1.  "; // 00:00:01.00, one second
constexpr wchar_t kHotKeyAtom[] = L"HotKeyRun";
// Used when the atom cannot be added: any id other than the add-record
// hotkey's 0 keeps the two hotkeys apart.
constexpr std::uint32_t kFallbackRunId = 0xBFFF;
constexpr wchar_t kHotKeyRunValue[] = L"hotkey_run";
constexpr wchar_t kHotKeyAddValue[] = L"hotkey_add";
constexpr int kDefaultRunKey = 114; // F3
constexpr int kDefaultAddKey = 115; // F4

std::wstring WindowLanguage() {
    const std::wstring code = Orv::UserLanguageCode().substr(0, 2);
    return code == kKorean || code == kEnglish ? code : std::wstring(kEnglish);
}

} // namespace

void TFrmMain::FormCreate(ui::TComponent*) {
    Language = WindowLanguage();
    Orv::TranslateControl(*this, Language);
    Orv::TranslateControl(InputMouse, L"");
    Orv::TranslateControl(InputClick, L"");
    Orv::TranslateControl(ListArea, L"");
    SetCaption(Orv::Translate(Caption()));
    ui::Application::SetTitle(Orv::Translate(Caption()) + kTitleVersionSeparator +
                              Orv::FileVersionText(kVersionPattern));
    SetWaitingState();
    startup::Mark(startup::Phase::Translated);
    IsRunning = false;
    const ATOM atom = GlobalAddAtomW(kHotKeyAtom);
    HotKeyRunIsAtom = atom != 0;
    HotKeyRun = HotKeyRunIsAtom ? atom : kFallbackRunId;
    InputHotKeyRun.SetValue(
        static_cast<core::ShortCut>(Orv::ConfigInteger(kHotKeyRunValue, kDefaultRunKey, false)));
    InputHotKeyAdd.SetValue(
        static_cast<core::ShortCut>(Orv::ConfigInteger(kHotKeyAddValue, kDefaultAddKey, false)));
    InputMouse.SetItemIndex(0);
    InputClick.SetItemIndex(0);
    InputInterval.SetText(kWaitingStartText);
    InputHotKeyRunChange(this);
    InputHotKeyAddChange(this);
    startup::Mark(startup::Phase::HotKeysSet);
    LoadRecord(L"");
    RecordFileRead = true;
    startup::Mark(startup::Phase::RecordsLoaded);
}

void TFrmMain::FormClose(ui::TComponent*) {
    if (RecordFileRead)
        SaveRecord(L"");
    UnregisterHotKey(Handle(), static_cast<int>(HotKeyRun));
    if (HotKeyRunIsAtom)
        GlobalDeleteAtom(static_cast<ATOM>(HotKeyRun & 0xFFFF));
    timerResolution_.reset();
}

void TFrmMain::ImgLogoClick(ui::TComponent*) {
    Orv::OpenUrl(core::ProductPageUrl());
}
