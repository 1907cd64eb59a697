// Entry of the Windows test program: the process is set up as the real
// program sets itself up (common controls, the translation catalogue).
#include "Fixtures.h"

#include "common/Translate.h"
#include "ui/Guard.h"
#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc == 2) {
        if (const int code = wintest::RunEscapeProbe(argv[1]); code >= 0)
            return code;
    }
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                            ICC_HOTKEY_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Orv::LoadTranslationCatalogue();
    // Every main window starts an update check: never towards a real host.
    if (!std::getenv("MIRVEX_WEB_HOST"))
        _putenv("MIRVEX_WEB_HOST=http://127.0.0.1:9");
    // The program's default handler shows a modal message box, which nobody
    // would close here: an error that no test expects fails the running test.
    ui::SetExceptionHandler([](std::exception_ptr error) {
        ADD_FAILURE() << "unexpected error: " << core::ToUtf8(ui::DescribeException(error));
    });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
