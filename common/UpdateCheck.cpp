// The background update check: a worker thread asks the service and waits
// between attempts; the answer is handed back to the GUI thread through a
// message-only window that the GUI thread owns, and the worker waits there
// until the hand-back is done or the check has been ended.
#include "common/Update.h"

#include "common/Handle.h"
#include "core/UpdateAnswer.h"
#include "core/UpdatePrompt.h"

#include <windows.h>

#include <atomic>
#include <cwchar>
#include <exception>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <utility>

namespace Orv {

struct TUpdateCheck::State : std::enable_shared_from_this<State> {
    // Written by the starter before the worker starts.
    std::wstring URL;
    bool Debug = false;
    TUpdateProc Proc;
    TErrorSink ReportError;
    std::wstring Lang;
    TUpdateRetry Retry;
    HWND Target = nullptr;   // the hand-back window, on the starter's thread
    UniqueHandle Started;    // manual reset: the GUI thread's loop runs, ask away
    UniqueHandle Ended;      // manual reset: the owner ended the check
    UniqueHandle HandedBack; // manual reset: the hand-back has finished
    // Written by the worker before it posts the hand-back.
    std::wstring Data;
    std::exception_ptr WorkerError;
    // Set by the worker once Data and WorkerError are final. Anyone in the
    // session can post the hand-back message to the check's window: a post
    // before this is set is not acted on, and one after it runs the same
    // hand-back, once, as the worker's own post would.
    std::atomic<bool> Posted{false};
    // GUI thread only: the holds on the hand-back, whether one arrived
    // meanwhile, and the download question while it is open.
    int Holds = 0;
    bool Deferred = false;
    HWND Question = nullptr;
};

namespace {

using State = TUpdateCheck::State;

constexpr UINT kPromptStyle = MB_YESNO | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST;
constexpr std::size_t kLanguageLength = 2;
constexpr wchar_t kDialogClass[] = L"#32770";

// A message of its own, so that no other window can mistake it for one of
// its messages.
UINT HandBackMessage() {
    static const UINT message = RegisterWindowMessageW(kUpdateHandBackClass);
    return message;
}

// Lets the worker begin once the GUI thread takes messages again: the
// request is not needed for the window's first paint, so loading the network
// libraries and asking the service wait until the window is up.
UINT StartMessage() {
    static const UINT message = RegisterWindowMessageW(kUpdateStartMessageName);
    return message;
}

UniqueHandle NewManualResetEvent() {
    UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!event)
        throw std::runtime_error("The update check could not create an event.");
    return event;
}

bool IsSet(const UniqueHandle& event) {
    return WaitForSingleObject(event.get(), 0) == WAIT_OBJECT_0;
}

bool PostHandBack(const State& state) {
    return PostMessageW(state.Target, HandBackMessage(), 0, 0) != 0;
}

// Where the hook below notes the first dialog this thread creates.
thread_local HWND* t_question = nullptr;

LRESULT CALLBACK NoteQuestion(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_question && !*t_question) {
        const auto window = reinterpret_cast<HWND>(wParam);
        wchar_t name[std::size(kDialogClass) + 1] = {};
        if (GetClassNameW(window, name, static_cast<int>(std::size(name))) &&
            std::wcscmp(name, kDialogClass) == 0)
            *t_question = window;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct HookRemover {
    void operator()(HHOOK hook) const {
        if (hook)
            UnhookWindowsHookEx(hook);
    }
};

// The download question. Its window is noted while it is open, so that
// ending the check can answer it No.
int AskDownload(State& state) {
    const std::wstring text = core::UpdatePromptText(state.Lang);
    HWND* const outer = t_question;
    t_question = &state.Question;
    int answer = IDNO;
    {
        const std::unique_ptr<std::remove_pointer_t<HHOOK>, HookRemover> hook(
            SetWindowsHookExW(WH_CBT, NoteQuestion, nullptr, GetCurrentThreadId()));
        // No owner window: the main window stays usable while the question
        // is open.
        answer = MessageBoxW(nullptr, text.c_str(), ApplicationTitle().c_str(), kPromptStyle);
    }
    t_question = outer;
    state.Question = nullptr;
    return answer;
}

// On the GUI thread: offer the link, when there is one that may be opened,
// then tell the caller, unless the check was ended meanwhile.
void HandBack(State& state) {
    if (state.WorkerError)
        std::rethrow_exception(state.WorkerError);
    const std::wstring item = core::OfferedLink(state.Data);
    bool opened = false;
    if (!item.empty() && AskDownload(state) == IDYES && !IsSet(state.Ended)) {
        OpenUrl(item);
        opened = true;
    }
    if (!IsSet(state.Ended))
        state.Proc(opened, state.Data);
}

LRESULT CALLBACK HandBackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == 0 || (message != HandBackMessage() && message != StartMessage()))
        return DefWindowProcW(window, message, wParam, lParam);
    auto* raw = reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!raw)
        return 0;
    if (message == StartMessage()) {
        SetEvent(raw->Started.get());
        return 0;
    }
    // A post that came before the answer was complete: nothing to act on.
    if (!raw->Posted.load(std::memory_order_acquire))
        return 0;
    if (raw->Holds > 0) {
        raw->Deferred = true;
        return 0;
    }
    // Once only; and the worker's reference keeps the state alive even if
    // the hand-back ends the check.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    const std::shared_ptr<State> state = raw->shared_from_this();
    // Nothing may unwind through the window procedure: an error goes to the
    // program-wide handler.
    try {
        HandBack(*state);
    } catch (...) {
        state->ReportError(std::current_exception());
    }
    SetEvent(state->HandedBack.get());
    return 0;
}

HWND CreateHandBackWindow(State& state) {
    static const ATOM windowClass = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = HandBackWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kUpdateHandBackClass;
        return RegisterClassExW(&wc);
    }();
    HWND window = windowClass
                      ? CreateWindowExW(0, kUpdateHandBackClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleW(nullptr), nullptr)
                      : nullptr;
    if (!window)
        throw std::runtime_error("The update check could not create its window.");
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    return window;
}

// Asks until an answer arrives or the attempts are used up. False when the
// check was ended meanwhile.
bool Attempt(State& state) {
    for (int attempt = 0; attempt < state.Retry.Attempts; ++attempt) {
        if (HttpGetText(state.URL, state.Lang, state.Debug, state.Data))
            return true;
        // Sleeps until the time is up or the check is ended, whichever
        // comes first; nothing runs in between.
        if (WaitForSingleObject(state.Ended.get(), state.Retry.WaitMs) != WAIT_TIMEOUT)
            return false;
    }
    return true;
}

// The worker thread. Nothing may leave it: an error is handed to the GUI
// thread, which reports it.
void Work(const std::shared_ptr<State>& state) noexcept {
    const HANDLE starts[] = {state->Started.get(), state->Ended.get()};
    if (WaitForMultipleObjects(static_cast<DWORD>(std::size(starts)), starts, FALSE, INFINITE) !=
        WAIT_OBJECT_0)
        return;
    try {
        if (!Attempt(*state))
            return;
    } catch (...) {
        state->WorkerError = std::current_exception();
    }
    state->Posted.store(true, std::memory_order_release);
    if (IsSet(state->Ended) || !PostHandBack(*state))
        return;
    const HANDLE ends[] = {state->HandedBack.get(), state->Ended.get()};
    WaitForMultipleObjects(static_cast<DWORD>(std::size(ends)), ends, FALSE, INFINITE);
}

} // namespace

TUpdateCheck::TUpdateCheck(std::shared_ptr<State> state) : state_(std::move(state)) {}

TUpdateCheck::~TUpdateCheck() {
    // The window first: a hand-back still queued then finds no window.
    DestroyWindow(state_->Target);
    SetEvent(state_->Ended.get());
    // An open question ends as No; the hand-back then sees the check ended.
    if (state_->Question)
        EndDialog(state_->Question, IDNO);
}

THandBackHold TUpdateCheck::HoldHandBack() {
    return THandBackHold(state_);
}

THandBackHold::THandBackHold(std::shared_ptr<TUpdateCheck::State> state)
    : state_(std::move(state)) {
    ++state_->Holds;
}

THandBackHold::~THandBackHold() {
    if (!state_ || --state_->Holds > 0 || !state_->Deferred)
        return;
    state_->Deferred = false;
    if (!IsSet(state_->Ended))
        PostHandBack(*state_);
}

std::unique_ptr<TUpdateCheck> CheckUpdate(const std::wstring& URL, bool Debug, TUpdateProc Proc,
                                          TErrorSink ReportError, const TUpdateRetry& Retry) {
    auto state = std::make_shared<State>();
    state->URL = URL;
    state->Debug = Debug;
    state->Proc = std::move(Proc);
    state->ReportError = std::move(ReportError);
    state->Lang = UserLanguageCode().substr(0, kLanguageLength);
    state->Retry = Retry;
    state->Started = NewManualResetEvent();
    state->Ended = NewManualResetEvent();
    state->HandedBack = NewManualResetEvent();
    state->Target = CreateHandBackWindow(*state);
    auto check = std::make_unique<TUpdateCheck>(state);
    std::thread([state] { Work(state); }).detach();
    if (!PostMessageW(state->Target, StartMessage(), 0, 0))
        SetEvent(state->Started.get());
    return check;
}

} // namespace Orv
