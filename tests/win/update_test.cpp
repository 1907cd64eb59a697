// The update check against the stand-in service: one request over WinHTTP,
// the worker's attempts and hand-back, and the window's update callback.
#include "Fixtures.h"
#include "StandIn.h"

#include "common/Update.h"
#include "core/Hosts.h"
#include "core/LauncherAnswer.h"
#include "core/TextCodec.h"
#include "core/UpdateAnswer.h"
#include "launcher/WebClient.h"

#include <objbase.h>

#include <cstdlib>
#include <thread>

namespace {

using namespace wintest;

constexpr char kLink[] = "https://example.invalid/dl/new.exe";
constexpr wchar_t kLinkText[] = L"https://example.invalid/dl/new.exe";
constexpr char kNoUpdate[] = R"({"result":true,"update":""})";
constexpr wchar_t kNoUpdateText[] = LR"({"result":true,"update":""})";
// The test prefix's browser only records the pages it is asked to open.
constexpr wchar_t kClosedPortPage[] = L"http://127.0.0.1:9/";
constexpr std::size_t kMiB = 1024 * 1024;
constexpr unsigned kShortWaitMs = 20;
// Long enough that a refusing service outlasts the test's own steps.
constexpr unsigned kRefusedWaitMs = 200;
constexpr ULONGLONG kHandBackTimeoutMs = 120'000;
constexpr DWORD kPumpIntervalMs = 50;
// How long a worker that must not ask yet is watched.
constexpr DWORD kNoRequestMs = 300;
// How long an ended check is watched: ten of its waits between attempts.
constexpr DWORD kEndedWatchMs = 10 * kRefusedWaitMs;
constexpr wchar_t kDialogClass[] = L"#32770";

class UpdateService : public testing::Test {
  protected:
    void SetUp() override {
        const auto found = StandInService::FromEnvironment();
        ASSERT_TRUE(found) << "MIRVEX_TEST_SERVICE is not set: these tests need the stand-in "
                              "update service that `./dev test win` starts "
                              "(tools/update_service.py)";
        service.emplace(*found);
    }

    std::optional<StandInService> service;
};

struct HandBack {
    bool opened;
    std::wstring data;
};

// Dispatches messages, as the program's message loop does, until `done`.
template <class Done> bool PumpUntil(Done done) {
    const ULONGLONG end = GetTickCount64() + kHandBackTimeoutMs;
    while (!done() && GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpIntervalMs, QS_ALLINPUT);
        PumpMessages();
    }
    return done();
}

TEST_F(UpdateService, RequestCarriesTheIdentificationHeadersInOrder) {
    service->Script(Steps({OfferStep(kLink)}));
    std::wstring body;
    ASSERT_TRUE(Orv::HttpGetText(service->Url(), L"ja", false, body));
    EXPECT_EQ(core::UpdateLink(body), kLinkText);
    const std::string record = service->Requests();
    EXPECT_EQ(service->RequestCount(), 1) << record;
    EXPECT_NE(record.find(R"("path": "/api.init.php")"), std::string::npos) << record;
    const std::size_t version = record.find(R"(["User-Version", "1.3.2.0"])");
    const std::size_t language = record.find(R"(["User-Language", "ja"])");
    const std::size_t debug = record.find(R"(["User-Debug", "false"])");
    ASSERT_NE(debug, std::string::npos) << record;
    EXPECT_LT(version, language) << record;
    EXPECT_LT(language, debug) << record;
}

TEST_F(UpdateService, AnswersAndFailures) {
    const std::string offer = std::string(R"({"update":")") + kLink + "\"}";
    // "ダウンロード" in Shift_JIS.
    const std::string shiftJis =
        "{\"update\":\"https://example.invalid/\x83\x5f\x83\x45\x83\x93\x83\x8d\x81\x5b\x83\x68"
        ".exe\"}";
    // "Загрузка" in ISO-8859-5, under a name that only Windows' charset
    // database knows (an alias of iso-8859-5).
    const std::string cyrillic =
        "{\"update\":\"https://example.invalid/\xb7\xd0\xd3\xe0\xe3\xd7\xda\xd0.exe\"}";
    // The same in KOI8-U, under a name whose record gives a Windows code page
    // (1251) and its internet code page (KOI8-U): the text is in the latter.
    const std::string koi8 =
        "{\"update\":\"https://example.invalid/\xfa\xc1\xc7\xd2\xd5\xda\xcb\xc1.exe\"}";
    const std::string redirect = RedirectStep("/api.init.php?hop");
    const struct {
        const char* what;
        std::string steps;
        bool answered;
        std::wstring link; // of the body, when answered
        int requests;
    } cases[] = {
        {"error status with the marker", Steps({AnswerStep(offer, 500, "text/html")}), true,
         kLinkText, 1},
        {"five redirects",
         Steps({redirect, redirect, redirect, redirect, redirect, OfferStep(kLink)}), true,
         kLinkText, 6},
        {"six redirects",
         Steps({redirect, redirect, redirect, redirect, redirect, redirect, OfferStep(kLink)}),
         false, L"", 6},
        {"Shift_JIS body", Steps({RawAnswerStep(shiftJis, "application/json; charset=Shift_JIS")}),
         true, L"https://example.invalid/ダウンロード.exe", 1},
        {"charset known to Windows only",
         Steps({RawAnswerStep(cyrillic, "application/json; charset=cyrillic")}), true,
         L"https://example.invalid/Загрузка.exe", 1},
        {"internet code page before the Windows one",
         Steps({RawAnswerStep(koi8, "application/json; charset=koi8-ru")}), true,
         L"https://example.invalid/Загрузка.exe", 1},
        {"body of exactly 1 MiB", Steps({AnswerStep(offer, 200, "application/json", kMiB)}), true,
         kLinkText, 1},
        {"body one byte over 1 MiB", Steps({AnswerStep(offer, 200, "application/json", kMiB + 1)}),
         true, L"", 1},
        {"unknown charset", Steps({AnswerStep(offer, 200, "application/json; charset=klingon")}),
         false, L"", 1},
        {"code page Windows lacks", Steps({AnswerStep(offer, 200, "text/plain; charset=cp12345")}),
         false, L"", 1},
        {"empty body in a code page", Steps({RawAnswerStep("", "text/plain; charset=euc-kr")}),
         true, L"", 1},
        {"connection closed without an answer", Steps({DropStep()}), false, L"", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        service->Script(c.steps);
        std::wstring body = L"unchanged";
        EXPECT_EQ(Orv::HttpGetText(service->Url(), L"en", false, body), c.answered);
        if (c.answered)
            EXPECT_EQ(core::UpdateLink(body), c.link);
        else
            EXPECT_EQ(body, L"unchanged");
        EXPECT_EQ(service->RequestCount(), c.requests);
    }
}

// Certificates are checked, and an answer to an https request never comes
// over plain http: for the main program's client and for the launcher's.
TEST_F(UpdateService, OnlyATrustedServiceAnswersOverHttps) {
    std::string plainUrl;
    for (const wchar_t c : service->Url())
        plainUrl += static_cast<char>(c);
    const struct {
        const char* what;
        const char* listener;
        std::string steps;
        bool answered;
        int requests; // of the main program's client
    } cases[] = {
        {"trusted certificate", "trusted", Steps({OfferStep(kLink)}), true, 1},
        {"self-signed certificate", "untrusted", Steps({OfferStep(kLink)}), false, 0},
        {"redirect to plain http", "trusted", Steps({RedirectStep(plainUrl), OfferStep(kLink)}),
         false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring url = service->TlsUrl(c.listener);
        const int connections = service->Connections(c.listener);
        service->Script(c.steps);
        std::wstring body;
        EXPECT_EQ(Orv::HttpGetText(url, L"en", false, body), c.answered);
        if (c.answered) {
            EXPECT_EQ(core::UpdateLink(body), kLinkText);
        }
        EXPECT_EQ(service->RequestCount(), c.requests) << service->Requests();
        if (c.requests == 0) {
            EXPECT_GT(service->Connections(c.listener), connections) << "never tried";
        }

        service->Script(c.steps);
        const launcher::InternetSession session;
        ASSERT_TRUE(session);
        const std::wstring answer = session.Get(url, core::launcher::RequestHeaders(L"1.3.2.0"));
        EXPECT_EQ(core::launcher::OfferedLink(answer), c.answered ? kLinkText : L"");
    }
}

TEST_F(UpdateService, WorkerAsksUntilAnswerThenHandsBackOnce) {
    const struct {
        const char* what;
        std::string steps;
        std::string fallback;
        int requests;
        std::wstring data;
    } cases[] = {
        {"answer at once", Steps({}), AnswerStep(kNoUpdate), 1, kNoUpdateText},
        {"error status is an answer", Steps({AnswerStep("oops", 500, "text/plain")}), DropStep(), 1,
         L"oops"},
        {"two failures", Steps({DropStep(), DropStep()}), AnswerStep(kNoUpdate), 3, kNoUpdateText},
        {"no answer at all", Steps({}), DropStep(), 60, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        service->Script(c.steps, c.fallback);
        std::vector<HandBack> handBacks;
        const auto check = Orv::CheckUpdate(service->Url(), false,
                                            [&](bool opened, const std::wstring& data) {
                                                handBacks.push_back({opened, data});
                                            },
                                            ui::HandleException, {60, kShortWaitMs});
        ASSERT_TRUE(PumpUntil([&] { return !handBacks.empty(); }));
        ASSERT_EQ(handBacks.size(), 1u);
        EXPECT_FALSE(handBacks[0].opened);
        EXPECT_EQ(handBacks[0].data, c.data);
        EXPECT_EQ(service->RequestCount(), c.requests);
    }
}

// Lets a started check's worker begin, then waits, delivering nothing else,
// until its hand-back is queued. False when none came in time.
bool StartAndAwaitHandBack() {
    const UINT startMessage = RegisterWindowMessageW(Orv::kUpdateStartMessageName);
    MSG start{};
    while (PeekMessageW(&start, nullptr, startMessage, startMessage, PM_REMOVE))
        DispatchMessageW(&start);
    const UINT handBackMessage = RegisterWindowMessageW(Orv::kUpdateHandBackClass);
    const auto queued = [&] {
        MSG msg{};
        return PeekMessageW(&msg, nullptr, handBackMessage, handBackMessage, PM_NOREMOVE) != 0;
    };
    const ULONGLONG end = GetTickCount64() + kHandBackTimeoutMs;
    while (!queued() && GetTickCount64() < end)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpIntervalMs, QS_POSTMESSAGE);
    return queued();
}

// Answers every message box this thread opens while it lives, and counts
// them.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(int answer)
        : hook_(SetWindowsHookExW(WH_CBT, Note, nullptr, GetCurrentThreadId())) {
        answer_ = answer;
        shown_ = 0;
    }
    ~BoxAnswerer() { UnhookWindowsHookEx(hook_); }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    int Shown() const { return shown_; }

  private:
    static LRESULT CALLBACK Note(int code, WPARAM wParam, LPARAM lParam) {
        wchar_t name[16] = {};
        const auto window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_CREATEWND && GetClassNameW(window, name, 16) &&
            std::wstring_view(name) == kDialogClass) {
            ++shown_;
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED), 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline int answer_ = 0;
    static inline int shown_ = 0;
    HHOOK hook_;
};

// Points the window's update check at the stand-in while it lives.
class WebHostScope {
  public:
    explicit WebHostScope(const std::wstring& serviceUrl) {
        const std::string url = core::ToUtf8(serviceUrl);
        _putenv_s(core::kWebHostVariable, url.substr(0, url.rfind('/')).c_str());
    }
    ~WebHostScope() { _putenv_s(core::kWebHostVariable, kClosedPort); }
    WebHostScope(const WebHostScope&) = delete;
    WebHostScope& operator=(const WebHostScope&) = delete;

  private:
    static constexpr char kClosedPort[] = "http://127.0.0.1:9";
};

// The worker asks only once the starting thread takes messages again (the
// window is up by then). The window ends its check when it is destroyed; a
// hand-back that was already on its way must then never run.
TEST_F(UpdateService, CheckAsksAfterCreationAndEndedCheckNeverHandsBack) {
    service->Script(Steps({}));
    bool handedBack = false;
    auto check = Orv::CheckUpdate(
        service->Url(), false, [&](bool, const std::wstring&) { handedBack = true; },
        ui::HandleException);
    Sleep(kNoRequestMs);
    EXPECT_EQ(service->RequestCount(), 0);
    ASSERT_TRUE(StartAndAwaitHandBack());
    check.reset();
    PumpMessages();
    EXPECT_FALSE(handedBack);
}

// Ending a check that waits to ask again stops it: no further request. (One
// may be on its way as it ends.)
TEST_F(UpdateService, EndedCheckAsksNoMore) {
    service->Script(Steps({}), DropStep());
    auto check = Orv::CheckUpdate(service->Url(), false, [](bool, const std::wstring&) {},
                                  ui::HandleException, {60, kRefusedWaitMs});
    ASSERT_TRUE(PumpUntil([&] { return service->RequestCount() > 0; }));
    check.reset();
    const int asked = service->RequestCount();
    Sleep(kEndedWatchMs);
    EXPECT_LE(service->RequestCount(), asked + 1);
}

// Ending a check while its download question is open (its window closes)
// answers the question No and calls nothing back: what Proc would reach may
// be gone.
TEST_F(UpdateService, CheckEndedDuringTheQuestionCallsNothingBack) {
    service->Script(Steps({OfferStep(kLink)}));
    bool handedBack = false;
    // Reached from the timer below, which runs in the question's own loop.
    static std::unique_ptr<Orv::TUpdateCheck> check;
    check = Orv::CheckUpdate(
        service->Url(), false, [&](bool, const std::wstring&) { handedBack = true; },
        ui::HandleException);
    // Each tick ends the check once the question is among this thread's
    // windows.
    const UINT_PTR timer = SetTimer(nullptr, 0, kPumpIntervalMs, [](HWND, UINT, UINT_PTR, DWORD) {
        bool asking = false;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                wchar_t name[16] = {};
                if (GetClassNameW(window, name, 16) && std::wstring_view(name) == kDialogClass)
                    *reinterpret_cast<bool*>(found) = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&asking));
        if (asking)
            check.reset();
    });
    ASSERT_TRUE(PumpUntil([&] { return !check; }));
    KillTimer(nullptr, timer);
    PumpMessages();
    EXPECT_FALSE(handedBack);
}

// The shell can hand the work to extensions that need COM: from its first
// page on, the thread that opens pages is in a single-threaded apartment.
TEST(OpenUrl, PutsTheCallingThreadInASingleThreadedApartment) {
    HRESULT before = S_OK;
    HRESULT after = E_FAIL;
    APTTYPE type{};
    std::thread([&] {
        APTTYPEQUALIFIER qualifier{};
        before = CoGetApartmentType(&type, &qualifier);
        Orv::OpenUrl(kClosedPortPage);
        after = CoGetApartmentType(&type, &qualifier);
    }).join();
    EXPECT_EQ(before, CO_E_NOTINITIALIZED);
    EXPECT_EQ(after, S_OK);
    // The process's first single-threaded apartment is its main one.
    EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
}

// Anyone in the session can post the hand-back message to the check's
// window. Acting on a post that comes before the answer is complete would
// read the answer while the worker still writes it: such posts change
// nothing, the check's own hand-back still comes, and one after it does
// not run it again.
TEST_F(UpdateService, ForeignHandBackPostChangesNothing) {
    service->Script(Steps({}), DropStep());
    std::vector<HandBack> handBacks;
    const auto check = Orv::CheckUpdate(service->Url(), false,
                                        [&](bool opened, const std::wstring& data) {
                                            handBacks.push_back({opened, data});
                                        },
                                        ui::HandleException, {60, kRefusedWaitMs});
    ASSERT_TRUE(PumpUntil([&] { return service->RequestCount() > 0; }));
    const HWND target = FindWindowExW(HWND_MESSAGE, nullptr, Orv::kUpdateHandBackClass, nullptr);
    ASSERT_NE(target, nullptr);
    const UINT handBackMessage = RegisterWindowMessageW(Orv::kUpdateHandBackClass);
    const auto postForeign = [&] {
        for (const LPARAM mark : {LPARAM{0}, LPARAM{1}, LPARAM{-1}})
            PostMessageW(target, handBackMessage, 0, mark);
        PumpMessages();
    };
    postForeign();
    EXPECT_TRUE(handBacks.empty());
    // The service answers at last: the check's own hand-back comes, once.
    service->Script(Steps({}), AnswerStep(kNoUpdate));
    ASSERT_TRUE(PumpUntil([&] { return !handBacks.empty(); }));
    postForeign();
    ASSERT_EQ(handBacks.size(), 1u);
    EXPECT_EQ(handBacks[0].data, kNoUpdateText);
}

class UpdateCallback : public CleanStateTest {};

// The close cannot save and asks whether to close anyway; the check's answer
// arrives meanwhile. It waits for the close's answer (No: the window stays)
// and asks only then, instead of stacking its question on the close's.
TEST_F(UpdateCallback, AnswerArrivingDuringTheCloseQuestionWaitsForIt) {
    auto found = StandInService::FromEnvironment();
    ASSERT_TRUE(found) << "MIRVEX_TEST_SERVICE is not set";
    found->Script(Steps({OfferStep(kLink)}));
    const WebHostScope host(found->Url());
    const BoxAnswerer questions(IDNO);
    WriteSpy fullDisk;
    fullDisk.failAfter = 0;
    MainWindow window(true, fullDisk);
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    window.notice.answer = IDNO;
    int askedDuringTheClose = -1;
    window.notice.onBox = [&] {
        ASSERT_TRUE(StartAndAwaitHandBack());
        PumpMessages();
        askedDuringTheClose = questions.Shown();
    };
    window->Close();
    EXPECT_EQ(askedDuringTheClose, 0);
    EXPECT_FALSE(window->Closed());
    ASSERT_TRUE(PumpUntil([&] { return questions.Shown() > 0; }));
    EXPECT_EQ(questions.Shown(), 1);
    EXPECT_EQ(window.notice.boxes.size(), 1u);
    EXPECT_FALSE(window->Closed());
}

TEST_F(UpdateCallback, AcceptedDownloadClosesTheWindowAndSavesTheList) {
    MainWindow window;
    window->ListArea.AddRow({L"3x4", L"Right", L"Double", L"00:00:02.00"});
    window->UpdateCallback(false, kNoUpdateText);
    EXPECT_FALSE(window->Closed());
    window->UpdateCallback(true, kNoUpdateText);
    EXPECT_TRUE(window->Closed());
    EXPECT_EQ(ReadBytes(DefaultRecordFile()), "3x4,1,1,00:00:02.00\r\n");
}

} // namespace
