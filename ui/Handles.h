// RAII owners for the Windows handles the control layer creates.
#pragma once

#include "common/Handle.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ui {

struct GdiObjectDeleter {
    void operator()(void* object) const {
        if (object)
            DeleteObject(static_cast<HGDIOBJ>(object));
    }
};
struct MenuDeleter {
    void operator()(HMENU menu) const {
        if (menu)
            DestroyMenu(menu);
    }
};
struct DcReleaser {
    HWND window;
    void operator()(HDC dc) const {
        if (dc)
            ReleaseDC(window, dc);
    }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const {
        if (dc)
            DeleteDC(dc);
    }
};

struct ThreadPoolCloser {
    void operator()(PTP_POOL pool) const { CloseThreadpool(pool); }
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
using Orv::UniqueHandle;
using UniqueWindowDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcReleaser>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;
using UniqueThreadPool = std::unique_ptr<TP_POOL, ThreadPoolCloser>;

// Selects a GDI object into a DC for the lifetime of the guard.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectGuard() { SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace ui
