// Program entry: one instance per logon session, the translation catalogue,
// the main window and its message loop. Always ends with exit code 0; every
// error on the way is reported in the program's own dialog.
#include "common/SingleInstance.h"
#include "common/Translate.h"
#include "common/Update.h"
#include "main/Main.h"
#include "main/StartupMarks.h"
#include "ui/Application.h"
#include "ui/Guard.h"

#include <windows.h>

#include <commctrl.h>

namespace {
constexpr wchar_t kInstanceMutex[] = L"MirvexMutex";
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL: a DLL loaded by name comes from the
    // system folder, never from the program's folder or the current one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ui::InstallLastResortHandlers();
    startup::Mark(startup::Phase::Entry);
    try {
        const Orv::SingleInstance instance(kInstanceMutex);
        if (!instance.IsFirst())
            return 0;
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        Orv::LoadTranslationCatalogue();
        Orv::SetApplicationTitle(L"");
        startup::Mark(startup::Phase::SetUp);
        {
            TFrmMain form;
            ui::Application::SetMainForm(form);
            startup::Mark(startup::Phase::WindowCreated);
            ui::Guard([&] { form.FormCreate(&form); });
            form.Show();
            startup::Mark(startup::Phase::Shown);
            ui::Application::Run(form);
        }
        // Reports another thread handed over while the window was closing.
        ui::ShowPendingReports();
        Orv::FreeTranslationCatalogue();
    } catch (...) {
        ui::HandleException(std::current_exception());
    }
    return 0;
}
