// Resource identifiers shared by the .rc file and the code.
#pragma once

#include "BuildConfig.h"

#define IDI_MAINICON 1
