// Resource identifiers shared by the .rc file and the code.
#pragma once

#define IDI_MAINICON 1
#define MIRVEX_VERSION_NUMBERS 1, 3, 2, 0
#define MIRVEX_VERSION_TEXT "1.3.2.0"
