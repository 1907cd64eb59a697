// The launcher's texts in the user's locale: the catalogue of
// core/LauncherText.h, looked up with the locale read once at start-up.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace launcher {

// The user's default locale identifier; set by ReadUserLocale before the
// first lookup.
extern LCID UserLCID;

void ReadUserLocale();

std::wstring LauncherText(std::wstring_view key);

} // namespace launcher
