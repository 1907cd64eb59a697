// Helpers shared by the fuzz targets.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

// A broken property ends the run at once, so libFuzzer keeps the input.
inline void Require(bool condition) {
    if (!condition)
        std::abort();
}

// Stand-in for the system code page: Latin-1, one unit per byte.
inline std::wstring DecodeLatin1(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (const char ch : bytes)
        out += static_cast<wchar_t>(static_cast<unsigned char>(ch));
    return out;
}

} // namespace fuzz
