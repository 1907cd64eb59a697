// What another program may hold while Mirvex's installer or programs look
// for their own: WinCtl holds these for the end-to-end tests.
#pragma once

#include "ui/Handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace hold {

struct WindowDestroyer {
    void operator()(HWND window) const {
        if (window)
            DestroyWindow(window);
    }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Dispatches this thread's messages until `seconds` have passed.
void PumpMessagesFor(unsigned seconds);

// A top-level window of a class registered here under the given name, not
// shown: another program's window that happens to share a class name.
UniqueWindow WindowOfClass(const std::wstring& className);

// The named mutex, created owned under a DACL without entries, so that no
// one else may open it: like the mutex of a copy that runs elevated.
ui::UniqueHandle LockedMutex(const wchar_t* name);

} // namespace hold
