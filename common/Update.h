// The update check: identification data (the user's language code, the
// program file's version), one request to the update service, the
// background check that offers a download, and opening web pages.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace Orv {

// ISO 639 name of the user's default locale's language ("ko", "en", "kok"),
// "en" when it cannot be read.
std::wstring UserLanguageCode();

// The running program file's file version formatted with a pattern whose
// "%d" take major, minor, release and build in turn ("%%" is a percent sign);
// "0.0.0.0" when the file has no version resource.
std::wstring FileVersionText(const std::wstring& Pattern);

// The application title: a program-wide text, empty until the main window
// sets it (its caption, " v " and the version text); the caption of the
// download question.
const std::wstring& ApplicationTitle();
void SetApplicationTitle(const std::wstring& Title);

// Opens a web page in the user's default browser; failures are not reported.
void OpenUrl(const std::wstring& Url);

// The pattern formatting on its own (used by FileVersionText).
std::wstring FormatVersion(const std::wstring& Pattern, const int (&parts)[4]);

// One GET of URL with the identification headers User-Version,
// User-Language (Lang) and User-Debug, in this order. True when an answer
// arrived, whatever its status: Body then holds its text, decoded by the
// charset of its Content-Type (UTF-8 when none; any charset that Windows'
// MIME database knows), or nothing when the body is larger than 1 MiB. False
// when the request failed (connection, certificate, time-out, too many
// redirects, a charset unknown to Windows); Body is then left as it was.
// Blocks the calling thread.
bool HttpGetText(const std::wstring& URL, const std::wstring& Lang, bool Debug, std::wstring& Body);

// Called once on the GUI thread at the end of a check: whether the user
// accepted the offered download and its link went to the shell, and the
// service's answer (empty when every attempt failed).
using TUpdateProc = std::function<void(bool Opened, const std::wstring& Data)>;

// How often a check asks and how long it waits after each failed attempt
// (the last one included). The program uses the defaults; tests shorten the
// wait.
struct TUpdateRetry {
    int Attempts = 60;
    unsigned WaitMs = 10'000;
};

class THandBackHold;

// The hand-back's message-only window class, and the registered names of
// its two messages: the hand-back itself (the class's name) and the start
// of the GUI thread's loop. Other programs' windows never see them.
inline constexpr wchar_t kUpdateHandBackClass[] = L"MirvexUpdateHandBack";
inline constexpr wchar_t kUpdateStartMessageName[] = L"MirvexUpdateStart";

// A running update check, owned by the GUI thread that started it. Ending it
// (destroying this object, on that thread) ends the check at once: a wait
// between attempts stops, no further request is made, a hand-back that has
// not run yet never runs, and an open download question ends as No without
// calling Proc. The window that started a check ends it when it closes, so
// no question outlives the window and the check never reaches a window that
// is gone.
class TUpdateCheck {
  public:
    struct State;
    explicit TUpdateCheck(std::shared_ptr<State> state);
    ~TUpdateCheck();
    TUpdateCheck(const TUpdateCheck&) = delete;
    TUpdateCheck& operator=(const TUpdateCheck&) = delete;

    // While the returned hold lives, a hand-back that arrives waits instead
    // of asking; it runs once the last hold ends, unless the check was ended
    // meanwhile. For a moment in which the window asks a question of its
    // own, such as the close's.
    [[nodiscard]] THandBackHold HoldHandBack();

  private:
    std::shared_ptr<State> state_;
};

class THandBackHold {
  public:
    THandBackHold() = default; // holds nothing
    explicit THandBackHold(std::shared_ptr<TUpdateCheck::State> state);
    ~THandBackHold();
    THandBackHold(THandBackHold&&) = default;
    THandBackHold& operator=(THandBackHold&&) = delete;
    THandBackHold(const THandBackHold&) = delete;
    THandBackHold& operator=(const THandBackHold&) = delete;

  private:
    std::shared_ptr<TUpdateCheck::State> state_;
};

// Where an error that ends a hand-back goes: the program-wide handler.
using TErrorSink = std::function<void(std::exception_ptr)>;

// Starts an update check on a worker thread of its own and returns at once.
// The worker asks URL (HttpGetText) until an answer arrives, at most
// Retry.Attempts times, waiting Retry.WaitMs after each failure. It then
// hands the answer to this thread and waits until the hand-back is done:
// when the answer offers a web address to download, the user is asked in
// the language of the moment of this call; on Yes the link is opened. Proc
// ends the hand-back. The worker never touches a window of the caller; an
// error in the hand-back, or one that ended the worker, goes to ReportError
// on this thread.
[[nodiscard]] std::unique_ptr<TUpdateCheck> CheckUpdate(const std::wstring& URL, bool Debug,
                                                        TUpdateProc Proc, TErrorSink ReportError,
                                                        const TUpdateRetry& Retry = {});

} // namespace Orv
