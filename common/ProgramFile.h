// The running program's own file: its path and the version in a file's
// version resource, for both programs (header only: the launcher links
// nothing of the main program's).
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace Orv {

// The program file's full path, however long its folder's path is; empty
// when it cannot be had.
inline std::wstring ProgramPath() {
    constexpr DWORD kFirstLength = MAX_PATH + 1;
    constexpr DWORD kLongestLength = 32768; // the longest path Windows has
    for (DWORD size = kFirstLength;; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        // A path that fills the buffer was cut short.
        if (length < size)
            return std::wstring(buffer.data(), length);
        if (size >= kLongestLength)
            return {};
    }
}

// Major, minor, release and build of a file's fixed version information;
// nothing when the file has none or cannot be read.
inline std::optional<std::array<unsigned, 4>> FileVersion(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return std::nullopt;
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return std::array<unsigned, 4>{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                                   HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

} // namespace Orv
