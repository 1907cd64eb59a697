// The launcher: one pass and done. It keeps a second launcher from running,
// checks that the main program lies beside it, asks the update service once
// and offers a newer version, and starts the main program when its first
// argument is "/inst". No window, no console; exit code 0 on every path.
#include "common/ShellOpen.h"
#include "common/SingleInstance.h"
#include "core/CommandLine.h"
#include "core/LauncherText.h"
#include "launcher/Control.h"
#include "launcher/Messages.h"
#include "launcher/UpdateCheck.h"

#include <windows.h>

namespace {

constexpr wchar_t kInstanceMutex[] = L"MirvexServiceMutex";
constexpr int kFormWidth = 240;
constexpr int kFormHeight = 40;
constexpr wchar_t kFormClass[] = L"SvcMirvex";

void RunPass() {
    using namespace launcher;
    const Orv::SingleInstance instance(kInstanceMutex);
    if (!instance.IsFirst())
        return;
    ReadUserLocale();
    const auto ServiceApp = NewAppControl(LauncherText(core::launcher_text::kProductName));
    Hide(*ServiceApp);
    const auto ServiceForm =
        NewFormControl(*ServiceApp, LauncherText(core::launcher_text::kProductName));
    SetSize(*ServiceForm, kFormWidth, kFormHeight);
    SetClassName(*ServiceForm, kFormClass);
    Hide(*ServiceForm);
    if (CheckForUpdate(*ServiceForm))
        return;
    if (core::FirstArgument(GetCommandLineW()) == core::kStartMainProgramArgument)
        Orv::ShellOpen(MainProgramPath(), SW_SHOW);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL: a DLL loaded by name comes from the
    // system folder, never from the launcher's folder or the current one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    try {
        RunPass();
    } catch (...) {
        // Nothing to report to: the launcher has no window and no log, and
        // it ends with exit code 0 whatever happened.
    }
    return 0;
}
