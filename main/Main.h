// The main window: its fixed layout, the click engine, the record list and
// its file, the global hotkeys, and what happens when it opens and closes.
// The behaviour is split over Main*.cpp files by concern.
#pragma once

#include "common/Update.h"
#include "main/FileSystem.h"
#include "main/TimerResolution.h"
#include "main/UserInput.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/GroupBox.h"
#include "ui/HotKeyEdit.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/MaskEdit.h"
#include "ui/Panel.h"
#include "ui/PopupMenu.h"
#include "ui/Timer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>

class TFrmMain : public ui::TForm {
  public:
    explicit TFrmMain(IUserInput& input = WindowsUserInput(),
                      IUserNotice& notice = WindowsUserNotice(),
                      ITimerPeriod& timerPeriod = WindowsTimerPeriod(),
                      IFileSystem& files = WindowsFileSystem());
    ~TFrmMain() override;

    // Controls, in the window's tree order.
    ui::TPanel PanelHeader;
    ui::TLabel LabelTitle;
    ui::TPanel PanelHeaderLogo;
    ui::TImage ImgLogo;
    ui::TGroupBox GroupBox1;
    ui::TLabel Label1;
    ui::TLabel Label2;
    ui::TLabel Label3;
    ui::TComboBox InputMouse;
    ui::TComboBox InputClick;
    ui::TMaskEdit InputInterval;
    ui::TGroupBox GroupBox2;
    ui::TLabel Label4;
    ui::TLabel Label5;
    ui::THotKeyEdit InputHotKeyRun;
    ui::THotKeyEdit InputHotKeyAdd;
    ui::TGroupBox GroupBox3;
    ui::TListView ListArea;
    ui::TCheckBox CheckRecord;
    ui::TButton BtnClear;
    ui::TPanel PanelMessage;
    ui::TTimer TmrClick;
    ui::TPopupMenu Popup;
    ui::TMenuItem N1;

    // Clicking is on.
    bool IsRunning = false;

    // Window events.
    void FormCreate(ui::TComponent* Sender);
    void FormClose(ui::TComponent* Sender, ui::TCloseAction& Action);
    void FormSessionEnd(ui::TComponent* Sender);
    void ImgLogoClick(ui::TComponent* Sender);
    // End of the update check: closes the window, as its close button does,
    // when the user accepted the offered download.
    void UpdateCallback(bool Opened, const std::wstring& Data);

    // Click engine.
    void ToggleRun();
    void TmrClickTimer(ui::TComponent* Sender);

    // Record list and record file. An empty FileName is Mirvex.lst beside the
    // program.
    void AddRecord();
    void N1Click(ui::TComponent* Sender);
    void BtnClearClick(ui::TComponent* Sender);
    void LoadRecord(const std::wstring& FileName);
    void SaveRecord(const std::wstring& FileName);

    // Hotkeys.
    void ApplyHotKey(std::uint32_t Id, ui::THotKeyEdit& Editor, const std::wstring& ValueName);
    void InputHotKeyRunChange(ui::TComponent* Sender);
    void InputHotKeyAddChange(ui::TComponent* Sender);
    void WMHotKey(WPARAM Id);
    void InputMouseKeyPress(ui::TComponent* Sender, wchar_t& Key);

  private:
    void StartClicking();
    void StopClicking();
    bool WaitingForRows() const;
    // What a step reads, read as its tick arrives; each part is there only
    // if it could be read then.
    struct EarlyReads {
        std::optional<POINT> cursor;
        std::optional<int> clickAfter;
        // The point the step was to click, and whether it lies on a monitor.
        std::optional<std::pair<POINT, bool>> monitor;
    };
    void TmrClickEarly();
    void ClickStep(const EarlyReads& early);
    // Whether the click point lies on a monitor, from the early read when
    // that was made for the same point.
    bool ClickPointOnMonitor(const EarlyReads& early);
    // Moves the cursor to the click point and makes the step's clicks.
    void MoveAndClick();
    // The row the walk selects next, and that row's point when it has a
    // valid one.
    int NextRecordIndex() const;
    std::optional<POINT> NextClickPoint() const;
    void MoveRecordSelection();
    void SetWaitingState();
    void SetRunningState();
    void LockControls(bool locked);
    void Warn(const wchar_t* message);
    std::int32_t EditorDelay() const;
    std::wstring RecordFilePath(const std::wstring& FileName) const;
    // The record file's content for the list as it stands; empty for no rows.
    std::string RecordFileBytes() const;
    // Writes the bytes to the file, or deletes it for none.
    void StoreRecordFile(const std::wstring& path, const std::string& bytes);
    // The close's and the session end's part of the record file; false when
    // the user chose to keep the window open after a failed save.
    bool SaveRecordAtClose();
    // Whether the list still holds exactly what the session end wrote.
    bool SavedAtSessionEnd() const;
    void ReleaseRunHotKey();

    std::uint32_t HotKeyRun = 0;
    std::uint32_t HotKeyAdd = 0;
    bool HotKeyRunIsAtom = false;
    std::wstring Language;
    // The record file was read when the window was created (or there was
    // none). Only then may closing replace or delete it: a file that could
    // not be read keeps the user's rows for a later start.
    bool RecordFileRead = false;
    // What the session end wrote to the record file, so that a close after
    // it does not write the same again.
    std::optional<std::string> sessionEndBytes_;
    std::int32_t AutoX = 0;
    std::int32_t AutoY = 0;
    std::int32_t AutoM = 0;
    std::int32_t AutoC = 0;
    std::int32_t AutoD = 0;

    IUserInput& input_;
    IUserNotice& notice_;
    ITimerPeriod& timerPeriod_;
    IFileSystem& files_;
    std::minstd_rand random_;
    EarlyReads early_;
    std::optional<TimerResolution> timerResolution_;
    // The update check started at creation; it ends with the window.
    std::unique_ptr<Orv::TUpdateCheck> UpdateCheck;
};

// Whether a shortcut value names a key the keyboard can show (the fixed key
// table, or a name from the keyboard layout).
bool HasKeyName(std::uint16_t shortCut);
