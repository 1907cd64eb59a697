// What the window does when it is created, when it closes and when the
// user's session ends, and its logo link.
#include "main/Main.h"

#include "common/Config.h"
#include "common/Translate.h"
#include "common/Update.h"
#include "core/Hosts.h"
#include "main/FileIo.h"
#include "main/MainConstants.h"
#include "main/StartupMarks.h"
#include "ui/Application.h"
#include "ui/Guard.h"

using namespace mainwindow;

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
constexpr bool kUpdateDebug = false;
constexpr UINT kCloseAnywayQuestion = MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2;

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
    Orv::SetApplicationTitle(Orv::Translate(Caption()) + kTitleVersionSeparator +
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
    UpdateCheck = Orv::CheckUpdate(
        core::UpdateServiceUrl(), kUpdateDebug,
        [this](bool Opened, const std::wstring& Data) { UpdateCallback(Opened, Data); },
        ui::HandleException);
    startup::Mark(startup::Phase::UpdateStarted);
}

void TFrmMain::UpdateCallback(bool Opened, const std::wstring&) {
    if (Opened)
        Close();
}

void TFrmMain::FormClose(ui::TComponent*, ui::TCloseAction& Action) {
    {
        // The update check's answer waits while the close may ask something:
        // it must not stack its question on the close's, nor close again.
        const Orv::THandBackHold hold =
            UpdateCheck ? UpdateCheck->HoldHandBack() : Orv::THandBackHold();
        if (!SaveRecordAtClose()) {
            Action = ui::TCloseAction::None;
            return;
        }
    }
    // The check goes with the window: an open download question ends as No,
    // so nothing keeps the program after its window.
    UpdateCheck.reset();
    ReleaseRunHotKey();
    timerResolution_.reset();
}

bool TFrmMain::SaveRecordAtClose() {
    const std::wstring path = RecordFilePath(L"");
    if (!RecordFileRead) {
        // The file was not read at start: it keeps the user's rows for a
        // later start, and the rows in the list cannot go anywhere.
        if (ListArea.Count() > 0)
            notice_.MessageBox(Handle(),
                               Orv::Translate(kRecordRowsNotSaved) + kMessageLineBreak + path,
                               Caption(), MB_OK | MB_ICONWARNING);
        return true;
    }
    if (SavedAtSessionEnd())
        return true;
    try {
        SaveRecord(L"");
        return true;
    } catch (const FileError& error) {
        const std::wstring text = Orv::Translate(kRecordSaveFailed) + kMessageLineBreak +
                                  error.Path() + kMessageLineBreak + error.Reason() +
                                  kMessageLineBreak + Orv::Translate(kCloseWithoutSaving);
        return notice_.MessageBox(Handle(), text, Caption(), kCloseAnywayQuestion) == IDYES;
    }
}

void TFrmMain::FormSessionEnd(ui::TComponent*) {
    // The list is saved as the close would save it, but nothing is asked or
    // shown: the session ends whatever happens here. A failed write leaves
    // the previous file whole.
    if (!RecordFileRead || SavedAtSessionEnd())
        return;
    std::string bytes = RecordFileBytes();
    try {
        StoreRecordFile(RecordFilePath(L""), bytes);
        sessionEndBytes_ = std::move(bytes);
    } catch (const FileError&) {
    }
}

bool TFrmMain::SavedAtSessionEnd() const {
    return sessionEndBytes_ && *sessionEndBytes_ == RecordFileBytes();
}

void TFrmMain::ReleaseRunHotKey() {
    UnregisterHotKey(Handle(), static_cast<int>(HotKeyRun));
    if (HotKeyRunIsAtom)
        GlobalDeleteAtom(static_cast<ATOM>(HotKeyRun & 0xFFFF));
}

void TFrmMain::ImgLogoClick(ui::TComponent*) {
    Orv::OpenUrl(core::ProductPageUrl());
}
