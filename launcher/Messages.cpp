#include "launcher/Messages.h"

#include "core/LauncherText.h"

namespace launcher {

LCID UserLCID = 0;

void ReadUserLocale() {
    UserLCID = GetUserDefaultLCID();
}

std::wstring LauncherText(std::wstring_view key) {
    return core::LauncherText(key, UserLCID);
}

} // namespace launcher
