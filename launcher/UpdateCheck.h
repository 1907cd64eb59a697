// The launcher's one piece of work: is the main program there, and does the
// update service offer a newer version?
#pragma once

#include "launcher/Control.h"

#include <string>

namespace launcher {

// "Mirvex.exe" in the launcher's own folder.
std::wstring MainProgramPath();

// The main program file's file version "major.minor.release.build", or
// "0.0.0.0" when it has none that can be read.
std::wstring MainProgramVersion();

// True when the main program must not be started: it is missing (the user is
// told to reinstall and the home page opens; nothing is asked of the update
// service), or the user accepted an offered download (the link opens).
// Message boxes take their caption and owner window from `form`.
bool CheckForUpdate(const TControl& form);

} // namespace launcher
