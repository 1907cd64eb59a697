// The update check against the stand-in service: one request over WinHTTP,
// the worker's attempts and hand-back, and the window's update callback.
#include "Fixtures.h"
#include "StandIn.h"

#include "common/Update.h"
#include "core/UpdateAnswer.h"

namespace {

using namespace wintest;

constexpr char kLink[] = "https://example.invalid/dl/new.exe";
constexpr wchar_t kLinkText[] = L"https://example.invalid/dl/new.exe";
constexpr char kNoUpdate[] = R"({"result":true,"update":""})";
constexpr wchar_t kNoUpdateText[] = LR"({"result":true,"update":""})";
constexpr std::size_t kMiB = 1024 * 1024;
constexpr unsigned kShortWaitMs = 20;
constexpr ULONGLONG kHandBackTimeoutMs = 120'000;
constexpr DWORD kPumpIntervalMs = 50;
// The hand-back message's registered name (common/UpdateCheck.cpp).
constexpr wchar_t kHandBackMessageName[] = L"MirvexUpdateHandBack";
constexpr wchar_t kStartMessageName[] = L"MirvexUpdateStart";
// How long a worker that must not ask yet is watched.
constexpr DWORD kNoRequestMs = 300;

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
    const UINT startMessage = RegisterWindowMessageW(kStartMessageName);
    MSG start{};
    while (PeekMessageW(&start, nullptr, startMessage, startMessage, PM_REMOVE))
        DispatchMessageW(&start);
    const UINT handBackMessage = RegisterWindowMessageW(kHandBackMessageName);
    const auto queued = [&] {
        MSG msg{};
        return PeekMessageW(&msg, nullptr, handBackMessage, handBackMessage, PM_NOREMOVE) != 0;
    };
    const ULONGLONG end = GetTickCount64() + kHandBackTimeoutMs;
    while (!queued() && GetTickCount64() < end)
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpIntervalMs, QS_POSTMESSAGE);
    ASSERT_TRUE(queued());
    check.reset();
    PumpMessages();
    EXPECT_FALSE(handedBack);
}

class UpdateCallback : public CleanStateTest {};

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
