#include "ui/Font.h"

#include "ui/Dpi.h"
#include "ui/Handles.h"

#include <vector>

namespace ui {
namespace {

struct CachedFont {
    FontSpec spec;
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

HFONT FontFor(const FontSpec& spec, UINT dpi) {
    auto& cache = Cache();
    for (const auto& entry : cache) {
        // The colour is drawn, not part of the GDI font.
        if (entry.dpi == dpi && entry.spec.face == spec.face && entry.spec.height == spec.height &&
            entry.spec.bold == spec.bold && entry.spec.charset == spec.charset)
            return entry.font.get();
    }
    LOGFONTW lf{};
    lf.lfHeight = -Scale(spec.height, dpi);
    lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    // A face that is not installed keeps its charset request only where the
    // face exists: otherwise the font mapper may settle on a font that has
    // that script but no Latin letters. The default charset lets it fall back
    // to the system font with font linking instead.
    lf.lfCharSet = FaceInstalled(spec.face) ? spec.charset : static_cast<BYTE>(DEFAULT_CHARSET);
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    cache.push_back({spec, dpi, UniqueFont(CreateFontIndirectW(&lf))});
    return cache.back().font.get();
}

} // namespace ui
