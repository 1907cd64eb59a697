#include "ui/Image.h"

#include <cstring>

namespace ui {

TImage::TImage(TComponent* owner, TControl* parent, const Bounds& bounds, bool handCursor)
    : TCustomControl(owner, parent, bounds, false) {
    static const wchar_t kHandClass[] = L"TImageHand";
    const wchar_t* className = handCursor ? kHandClass : kClassName;
    RegisterControlClass(className, handCursor ? LoadCursorW(nullptr, IDC_HAND) : nullptr);
    CreateHandle(className, 0, 0);
}

void TImage::SetPicture(const core::RgbaImage& picture) {
    bitmap_.reset();
    pictureWidth_ = pictureHeight_ = 0;
    if (picture.Empty())
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(picture.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(picture.height); // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits)
        return;
    // AlphaBlend wants premultiplied BGRA.
    auto* out = static_cast<std::uint8_t*>(bits);
    const std::size_t count = std::size_t{picture.width} * picture.height;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = &picture.pixels[i * 4];
        const unsigned a = p[3];
        out[i * 4 + 0] = static_cast<std::uint8_t>(p[2] * a / 255);
        out[i * 4 + 1] = static_cast<std::uint8_t>(p[1] * a / 255);
        out[i * 4 + 2] = static_cast<std::uint8_t>(p[0] * a / 255);
        out[i * 4 + 3] = static_cast<std::uint8_t>(a);
    }
    bitmap_.reset(bitmap);
    pictureWidth_ = static_cast<int>(picture.width);
    pictureHeight_ = static_cast<int>(picture.height);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TImage::Paint(HDC dc) {
    RECT rect{};
    GetClientRect(Handle(), &rect);
    FillRect(dc, &rect, Parent() ? Parent()->BackgroundBrush() : BackgroundBrush());
    if (!bitmap_)
        return;
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (!memory)
        return;
    SelectGuard select(memory.get(), bitmap_.get());
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    SetStretchBltMode(dc, HALFTONE);
    GdiAlphaBlend(dc, 0, 0, rect.right, rect.bottom, memory.get(), 0, 0, pictureWidth_,
                  pictureHeight_, blend);
}

LRESULT TImage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(Handle());
        return 0;
    case WM_LBUTTONUP: {
        const bool wasPressed = pressed_;
        pressed_ = false;
        ReleaseCapture();
        RECT rect{};
        GetClientRect(Handle(), &rect);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (wasPressed && PtInRect(&rect, point) && OnClick)
            OnClick();
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    default:
        return TCustomControl::WindowProc(message, wParam, lParam);
    }
}

core::RgbaImage LoadPngResource(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!resource)
        return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (!data || size == 0)
        return {};
    return core::DecodePng({static_cast<const std::uint8_t*>(data), size});
}

} // namespace ui
