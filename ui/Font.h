// Font descriptions in 96-DPI units and the process-wide cache of the GDI
// fonts made from them at each DPI in use.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

struct FontSpec {
    std::wstring face = L"Tahoma";
    int height = 11; // character height in pixels at 96 DPI
    bool bold = false;
    BYTE charset = DEFAULT_CHARSET;
    COLORREF color = CLR_INVALID; // CLR_INVALID: the system window-text colour
    bool operator==(const FontSpec&) const = default;

    COLORREF TextColor() const {
        return color == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : color;
    }
};

// The font for this description at this DPI. The cache owns the handle and
// keeps it until the program ends, so controls may hold it freely.
HFONT FontFor(const FontSpec& style, UINT dpi);

} // namespace ui
