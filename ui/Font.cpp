#include "ui/Font.h"

#include "ui/Dpi.h"
#include "ui/Handles.h"

#include <vector>

namespace ui {
namespace {

struct CachedFont {
    FontSpec style;
    UINT dpi;
    UniqueFont font;
};

std::vector<CachedFont>& Cache() {
    static std::vector<CachedFont> cache;
    return cache;
}

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring& face) {
    HDC screen = GetDC(nullptr);
    if (!screen)
        return true;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(screen, &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

} // namespace

HFONT FontFor(const FontSpec& style, UINT dpi) {
    auto& cache = Cache();
    for (const auto& entry : cache) {
        // The colour is drawn, not part of the GDI font.
        if (entry.dpi == dpi && entry.style.face == style.face && entry.style.height == style.height &&
            entry.style.bold == style.bold && entry.style.charset == style.charset)
            return entry.font.get();
    }
    LOGFONTW lf{};
    lf.lfHeight = -Scale(style.height, dpi);
    lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    // A face that is not installed keeps its charset request only where the
    // face exists: otherwise the font mapper may settle on a font that has
    // that script but no Latin letters. The default charset lets it fall back
    // to the system font with font linking instead.
    lf.lfCharSet = FaceInstalled(style.face) ? style.charset : static_cast<BYTE>(DEFAULT_CHARSET);
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, style.face.c_str(), LF_FACESIZE);
    cache.push_back({style, dpi, UniqueFont(CreateFontIndirectW(&lf))});
    return cache.back().font.get();
}

} // namespace ui
