// The main window as it opens and closes in an English session, and the
// program-wide identification: version, language, single instance.
#include "Fixtures.h"

#include "common/Translate.h"
#include "common/Update.h"
#include "core/TextCodec.h"
#include "common/SingleInstance.h"
#include "ui/Application.h"
#include "ui/Dpi.h"
#include "ui/Handles.h"

namespace {

using wintest::CleanStateTest;
using wintest::CombinationIsFree;
using wintest::MainWindow;

constexpr int kClientWidth = 555;
constexpr int kClientHeight = 337;
constexpr COLORREF kSilver = 0xC0C0C0;
constexpr COLORREF kBlack = 0x000000;

class Startup : public CleanStateTest {};

// Opens the file as another program may hold it, sharing nothing: while it
// is held, the file cannot be replaced or deleted.
ui::UniqueHandle HoldWithoutSharing(const std::wstring& path) {
    ui::UniqueHandle held(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_NE(held.get(), INVALID_HANDLE_VALUE);
    return held;
}

TEST_F(Startup, EnglishWindowShowsTranslatedTextsAndDefaults) {
    MainWindow window;
    EXPECT_EQ(window->Caption(), L"Mirvex");
    EXPECT_EQ(Orv::ApplicationTitle(), L"Mirvex v 1.3.2.0");
    EXPECT_EQ(window->PanelMessage.Caption(), L"Waiting");
    EXPECT_EQ(window->PanelMessage.FontColor(), kSilver);
    EXPECT_EQ(window->PanelMessage.BackgroundColor(), kBlack);
    EXPECT_EQ(window->InputMouse.Items(), (std::vector<std::wstring>{L"Left", L"Right", L"Wheel"}));
    EXPECT_EQ(window->InputMouse.ItemIndex(), 0);
    EXPECT_EQ(window->InputClick.Items(), (std::vector<std::wstring>{L"Single", L"Double"}));
    EXPECT_EQ(window->InputClick.ItemIndex(), 0);
    EXPECT_EQ(window->InputInterval.Text(), L"  :  : 1.  ");
    EXPECT_EQ(window->InputInterval.DisplayText(), L"00:00:01.00");
    wchar_t shown[32] = {};
    GetWindowTextW(window->InputInterval.Handle(), shown, 32);
    EXPECT_STREQ(shown, L"00:00:01.00");
    const std::vector<std::wstring> headers{L"Position", L"Mouse", L"Click", L"Delay"};
    for (int column = 0; column < window->ListArea.ColumnCount(); ++column)
        EXPECT_EQ(window->ListArea.ColumnCaption(column), headers.at(column));
    EXPECT_EQ(window->ListArea.Count(), 0);
    EXPECT_FALSE(window->CheckRecord.Checked());
    EXPECT_FALSE(window->IsRunning);
    EXPECT_FALSE(window->TmrClick.Armed());
    EXPECT_TRUE(window->ImgLogo.HasPicture());
    EXPECT_TRUE(window.notice.boxes.empty());
}

TEST_F(Startup, WindowHasAFixedSize) {
    MainWindow window;
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window->Handle(), GWL_STYLE));
    EXPECT_EQ(style & WS_THICKFRAME, 0u);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0u);
    ASSERT_EQ(ui::DpiForWindow(window->Handle()), ui::kBaseDpi);
    RECT client{};
    GetClientRect(window->Handle(), &client);
    EXPECT_EQ(client.right - client.left, kClientWidth);
    EXPECT_EQ(client.bottom - client.top, kClientHeight);
}

TEST_F(Startup, OpensCentredOnThePrimaryMonitor) {
    MainWindow window;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    GetWindowRect(window->Handle(), &frame);
    const RECT& area = monitor.rcMonitor;
    // Halving an odd leftover rounds down.
    EXPECT_NEAR(frame.left - area.left, area.right - frame.right, 1);
    EXPECT_NEAR(frame.top - area.top, area.bottom - frame.bottom, 1);
}

TEST_F(Startup, StatusPanelTextNeverShowsInAnotherColour) {
    MainWindow window(false);
    struct Change {
        std::wstring property;
        std::wstring caption;
        COLORREF color;
    };
    std::vector<Change> changes;
    window->PanelMessage.OnChanged = [&](const wchar_t* property) {
        changes.push_back(
            {property, window->PanelMessage.Caption(), window->PanelMessage.FontColor()});
    };
    window->FormCreate(window.form.get());
    // The window's translation may set the still empty caption first; the
    // waiting text itself comes only after its colour.
    ASSERT_GE(changes.size(), 2u);
    const Change& colour = changes[changes.size() - 2];
    const Change& text = changes.back();
    EXPECT_EQ(colour.property, L"FontColor");
    EXPECT_EQ(colour.color, kSilver);
    EXPECT_EQ(text.property, L"Caption");
    EXPECT_EQ(text.caption, L"Waiting");
    for (std::size_t i = 0; i + 2 < changes.size(); ++i)
        EXPECT_EQ(changes[i].caption, L"") << i;
}

TEST_F(Startup, LoadsTheRecordFileBesideTheProgram) {
    wintest::WriteBytes(wintest::DefaultRecordFile(),
                        "10x20,1,0,00:00:01.00\r\n-5x7,2,1,00:00:00.30\r\n");
    MainWindow window;
    ASSERT_EQ(window->ListArea.Count(), 2);
    EXPECT_EQ(window->ListArea.Row(0),
              (std::vector<std::wstring>{L"10x20", L"Right", L"Single", L"00:00:01.00"}));
    EXPECT_EQ(window->ListArea.Row(1),
              (std::vector<std::wstring>{L"-5x7", L"Wheel", L"Double", L"00:00:00.30"}));
}

TEST_F(Startup, ClosingSavesTheListBesideTheProgram) {
    MainWindow window;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    window->Close();
    EXPECT_TRUE(window->Closed());
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), "3x4,1,1,00:00:02.00\r\n");
}

TEST_F(Startup, ClosingWhileClickingSavesWithoutStoppingFirst) {
    MainWindow window;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    window->ToggleRun();
    ASSERT_TRUE(window->IsRunning);
    window->Close();
    EXPECT_TRUE(window->Closed());
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), "3x4,1,1,00:00:02.00\r\n");
    // No stop step ran: the window ended in the running state.
    EXPECT_TRUE(window->IsRunning);
    EXPECT_TRUE(CombinationIsFree(0, VK_F3));
}

TEST_F(Startup, ClosingWithAnEmptyListRemovesTheFile) {
    wintest::WriteBytes(wintest::DefaultRecordFile(), "1x1,0,0,00:00:01.00\r\n");
    MainWindow window;
    window->BtnClearClick(nullptr);
    window->Close();
    EXPECT_TRUE(window->Closed());
    EXPECT_EQ(GetFileAttributesW(wintest::DefaultRecordFile().c_str()), INVALID_FILE_ATTRIBUTES);
}

// A start that could not read the record file must not let the close
// replace or delete it: the file keeps the user's rows for a later start.
// Rows added since are lost, and the close says so once, naming the file.
struct UnreadStartCase {
    const char* name;
    std::string file;
    bool wrongTypedHotKey;
    bool rowAdded;
    // The error of the test whether the file exists; none: the test works.
    DWORD existenceError = ERROR_SUCCESS;
};

class UnreadRecordFile : public Startup, public testing::WithParamInterface<UnreadStartCase> {};

TEST_P(UnreadRecordFile, SurvivesTheCloseAndTheSessionEnd) {
    wintest::WriteBytes(wintest::DefaultRecordFile(), GetParam().file);
    if (GetParam().wrongTypedHotKey)
        wintest::StoreString(L"hotkey_run", L"F3");
    wintest::ErrorRecorder errors;
    wintest::FailingAttributes unreachable(GetParam().existenceError);
    MainWindow window(true, GetParam().existenceError ? static_cast<IFileSystem&>(unreachable)
                                                      : WindowsFileSystem());
    EXPECT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(window->ListArea.Count(), 0);
    if (GetParam().rowAdded)
        window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), GetParam().file);
    EXPECT_TRUE(window.notice.boxes.empty());
    window->Close();
    EXPECT_TRUE(window->Closed());
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), GetParam().file);
    if (GetParam().rowAdded) {
        ASSERT_EQ(window.notice.boxes.size(), 1u);
        EXPECT_NE(window.notice.boxes[0].text.find(wintest::DefaultRecordFile()),
                  std::wstring::npos);
        EXPECT_EQ(window.notice.boxes[0].caption, L"Mirvex");
        EXPECT_EQ(window.notice.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    } else {
        EXPECT_TRUE(window.notice.boxes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Causes, UnreadRecordFile,
    testing::Values(
        UnreadStartCase{"BadLine", "1x1,0,0,00:00:01.00\r\n2x2,x,0,00:00:01.00\r\n", false, false},
        UnreadStartCase{"BadLineThenARow", "2x2,x,0,00:00:01.00\r\n", false, true},
        UnreadStartCase{"CreationFailedBeforeLoading", "1x1,0,0,00:00:01.00\r\n", true, true},
        // The folder's share cannot be reached for a moment: that is no
        // answer to whether the file is there.
        UnreadStartCase{"ExistenceNotKnown", "1x1,0,0,00:00:01.00\r\n", false, true,
                        ERROR_BAD_NETPATH}),
    [](const testing::TestParamInfo<UnreadStartCase>& info) {
        return std::string(info.param.name);
    });

// A save that fails at close asks whether to close anyway (No by default);
// No keeps the window with its hotkey, Yes closes; the old file stays.
class FailedSaveOnClose : public Startup, public testing::WithParamInterface<int> {};

TEST_P(FailedSaveOnClose, AsksWhetherToCloseWithoutSaving) {
    const int answer = GetParam();
    MainWindow window;
    window.notice.answer = answer;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    wintest::WriteBytes(wintest::DefaultRecordFile(), "old\r\n");
    {
        const ui::UniqueHandle held = HoldWithoutSharing(wintest::DefaultRecordFile());
        window->Close();
    }
    ASSERT_EQ(window.notice.boxes.size(), 1u);
    const auto& box = window.notice.boxes[0];
    EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(box.caption, L"Mirvex");
    // What failed, on which file, why, and the question, each on its own line.
    EXPECT_EQ(box.text.rfind(L"The record file could not be saved.\r\r" +
                                 wintest::DefaultRecordFile() + L"\r\r",
                             0),
              0u);
    EXPECT_TRUE(box.text.ends_with(L"\r\rClose without saving?")) << core::ToUtf8(box.text);
    EXPECT_EQ(window->Closed(), answer == IDYES);
    // The run/stop hotkey goes only with the window.
    EXPECT_EQ(CombinationIsFree(0, VK_F3), answer == IDYES);
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), "old\r\n");
    if (answer == IDNO) {
        // Kept open, the window saves at the next close once it can.
        window->Close();
        EXPECT_TRUE(window->Closed());
        EXPECT_EQ(window.notice.boxes.size(), 1u);
        EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), "3x4,1,1,00:00:02.00\r\n");
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, FailedSaveOnClose, testing::Values(IDNO, IDYES));

// Windows ends a session without closing the windows: the list is saved when
// the session really ends, and only then.
TEST_F(Startup, SessionEndSavesTheListWithoutHoldingItUp) {
    MainWindow window;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    const std::wstring file = wintest::DefaultRecordFile();
    EXPECT_EQ(SendMessageW(window->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    // Cancelled by another program: nothing saved, nothing lost.
    SendMessageW(window->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(window->ListArea.Count(), 1);

    SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(wintest::ReadBytes(file), "3x4,1,1,00:00:02.00\r\n");
    EXPECT_FALSE(window->Closed());
    EXPECT_TRUE(window.notice.boxes.empty());

    // Nothing changed since: a close after it does not write again (the
    // file is held, so a write would fail and ask).
    {
        const ui::UniqueHandle held = HoldWithoutSharing(file);
        window->Close();
    }
    EXPECT_TRUE(window->Closed());
    EXPECT_TRUE(window.notice.boxes.empty());
}

TEST_F(Startup, CloseAfterTheSessionEndSavesWhatChangedSince) {
    MainWindow window;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, 0);
    window->ListArea.AddRow({L"5x6", L"Left", L"Single", L"00:00:01.00"});
    window->Close();
    EXPECT_TRUE(window->Closed());
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()),
              "3x4,1,1,00:00:02.00\r\n5x6,0,0,00:00:01.00\r\n");
}

TEST_F(Startup, FailedSaveAtSessionEndAsksNothing) {
    MainWindow window;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    wintest::WriteBytes(wintest::DefaultRecordFile(), "old\r\n");
    {
        const ui::UniqueHandle held = HoldWithoutSharing(wintest::DefaultRecordFile());
        SendMessageW(window->Handle(), WM_ENDSESSION, TRUE, 0);
    }
    EXPECT_TRUE(window.notice.boxes.empty());
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), "old\r\n");
    // The list was not saved, so the close still saves it.
    window->Close();
    EXPECT_EQ(wintest::ReadBytes(wintest::DefaultRecordFile()), "3x4,1,1,00:00:02.00\r\n");
}

TEST(Identification, FileVersionComesFromTheVersionResource) {
    EXPECT_EQ(Orv::FileVersionText(L"%d.%d.%d.%d"), L"1.3.2.0");
    EXPECT_EQ(Orv::FileVersionText(L"v%d.%d"), L"v1.3");
}

struct VersionCase {
    const wchar_t* pattern;
    const wchar_t* expected;
};

class FormatVersion : public testing::TestWithParam<VersionCase> {};

TEST_P(FormatVersion, FillsEachPlaceholderInTurn) {
    const int parts[4] = {7, 0, 12, 345};
    EXPECT_EQ(Orv::FormatVersion(GetParam().pattern, parts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatVersion,
    testing::Values(VersionCase{L"%d.%d.%d.%d", L"7.0.12.345"}, VersionCase{L"%d", L"7"},
                    VersionCase{L"%d%%", L"7%"}, VersionCase{L"100%% %d", L"100% 7"},
                    // Only four numbers exist; further placeholders stay as they are.
                    VersionCase{L"%d.%d.%d.%d.%d", L"7.0.12.345.%d"}, VersionCase{L"%x %", L"%x %"},
                    VersionCase{L"", L""}));

TEST(Identification, UserLanguageIsEnglishInAnEnglishSession) {
    EXPECT_EQ(Orv::UserLanguageCode(), L"en");
}

constexpr wchar_t kTestMutex[] = L"MirvexWinTests.SingleInstance";

TEST(SingleInstanceTest, SecondHolderOfTheNameIsNotFirst) {
    const Orv::SingleInstance first(kTestMutex);
    EXPECT_TRUE(first.IsFirst());
    const Orv::SingleInstance second(kTestMutex);
    EXPECT_FALSE(second.IsFirst());
}

TEST(SingleInstanceTest, NameIsFreeAgainWhenTheFirstEnds) {
    { const Orv::SingleInstance first(kTestMutex); }
    const Orv::SingleInstance again(kTestMutex);
    EXPECT_TRUE(again.IsFirst());
}

TEST(SingleInstanceTest, StaleLastErrorDoesNotMakeTheFirstASecond) {
    SetLastError(ERROR_ALREADY_EXISTS);
    const Orv::SingleInstance first(kTestMutex);
    EXPECT_TRUE(first.IsFirst());
}

} // namespace
