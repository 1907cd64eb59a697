#include "common/MimeCharset.h"

#include <windows.h>

#include <algorithm>
#include <string>

namespace Orv {
namespace {

constexpr wchar_t kCharsetKey[] = L"MIME\\Database\\Charset\\";
constexpr wchar_t kAliasValue[] = L"AliasForCharset";
constexpr wchar_t kInternetCodePageValue[] = L"InternetEncoding";
constexpr wchar_t kCodePageValue[] = L"Codepage";
// Longer than any charset name; far below the registry's key name limit.
constexpr std::size_t kMaxNameLength = 64;

bool IsKeyName(std::wstring_view name) {
    return !name.empty() && name.size() <= kMaxNameLength &&
           std::all_of(name.begin(), name.end(),
                       [](wchar_t c) { return c >= L' ' && c <= L'~' && c != L'\\'; });
}

std::optional<DWORD> ReadNumber(const std::wstring& key, const wchar_t* value) {
    DWORD number = 0;
    DWORD size = sizeof(number);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_DWORD, nullptr, &number,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return number;
}

std::optional<std::wstring> ReadName(const std::wstring& key, const wchar_t* value) {
    wchar_t text[kMaxNameLength + 1] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

} // namespace

std::optional<core::CharsetRecord> MimeCharsetRecord(std::wstring_view name) {
    if (!IsKeyName(name))
        return std::nullopt;
    const std::wstring key = kCharsetKey + std::wstring(name);
    if (auto alias = ReadName(key, kAliasValue))
        return core::CharsetRecord{std::move(*alias)};
    for (const wchar_t* value : {kInternetCodePageValue, kCodePageValue})
        if (const auto codePage = ReadNumber(key, value))
            return core::CharsetRecord{{}, *codePage};
    return std::nullopt;
}

} // namespace Orv
