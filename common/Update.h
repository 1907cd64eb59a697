// Identification data for the update check and the window: the user's
// language code and the program file's version.
#pragma once

#include <string>

namespace Orv {

// ISO 639 name of the user's default locale's language ("ko", "en", "kok"),
// "en" when it cannot be read.
std::wstring UserLanguageCode();

// The running program file's file version formatted with a pattern whose
// "%d" take major, minor, release and build in turn ("%%" is a percent sign);
// "0.0.0.0" when the file has no version resource.
std::wstring FileVersionText(const std::wstring& Pattern);

// Opens a web page in the user's default browser; failures are not reported.
void OpenUrl(const std::wstring& Url);

// The pattern formatting on its own (used by FileVersionText).
std::wstring FormatVersion(const std::wstring& Pattern, const int (&parts)[4]);

} // namespace Orv
