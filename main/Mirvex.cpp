// Program entry: one instance per logon session, the translation catalogue,
// the main window and its message loop. Always ends with exit code 0.
#include "common/Translate.h"
#include "main/Main.h"
#include "main/SingleInstance.h"
#include "main/StartupMarks.h"
#include "ui/Application.h"
#include "ui/Guard.h"

#include <windows.h>

#include <commctrl.h>

namespace {
constexpr wchar_t kInstanceMutex[] = L"MirvexMutex";
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    startup::Mark(startup::Phase::Entry);
    try {
        const SingleInstance instance(kInstanceMutex);
        if (!instance.IsFirst())
            return 0;
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        Orv::LoadTranslationCatalogue();
        ui::Application::SetTitle(L"");
        startup::Mark(startup::Phase::SetUp);
        {
            TFrmMain form;
            startup::Mark(startup::Phase::WindowCreated);
            ui::Guard([&] { form.FormCreate(&form); });
            form.Show();
            startup::Mark(startup::Phase::Shown);
            ui::Application::Run(form);
        }
        Orv::FreeTranslationCatalogue();
    } catch (...) {
        ui::HandleException(std::current_exception());
    }
    return 0;
}
