// Helpers shared by the fuzz targets.
#pragma once

#include <algorithm>
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

// What an offered link must be, checked on its own terms rather than by the
// programs' check: "http://" or "https://" in any letter case, then a host
// that does not start with a delimiter, at most 2,048 characters, all of them
// printable ASCII and none a quote or a backslash.
inline bool MayBeOffered(std::wstring_view link) {
    constexpr std::size_t kLongest = 2048;
    constexpr wchar_t kExclamationMark = 0x21;
    constexpr wchar_t kTilde = 0x7E;
    if (link.size() > kLongest)
        return false;
    if (!std::all_of(link.begin(), link.end(), [](wchar_t c) {
            return c >= kExclamationMark && c <= kTilde && c != L'"' && c != L'\\';
        }))
        return false;
    std::wstring lower(link);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c; });
    for (const std::wstring_view scheme : {L"http://", L"https://"}) {
        if (lower.compare(0, scheme.size(), scheme) == 0)
            return lower.size() > scheme.size() &&
                   std::wstring_view(L"/?#@:").find(lower[scheme.size()]) ==
                       std::wstring_view::npos;
    }
    return false;
}

} // namespace fuzz
