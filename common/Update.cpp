#include "common/Update.h"

#include "common/ProgramFile.h"
#include "common/ShellOpen.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace Orv {
namespace {

constexpr wchar_t kNoVersion[] = L"0.0.0.0";

std::wstring& TitleText() {
    static std::wstring title;
    return title;
}

} // namespace

std::wstring UserLanguageCode() {
    const LCID locale = GetUserDefaultLCID();
    const int needed = GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, nullptr, 0);
    if (needed <= 0)
        return L"en";
    std::vector<wchar_t> buffer(static_cast<std::size_t>(needed), L'\0');
    if (GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, buffer.data(), needed) == 0)
        return L"en";
    return std::wstring(buffer.data());
}

std::wstring FormatVersion(const std::wstring& Pattern, const int (&parts)[4]) {
    std::wstring out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        if (Pattern[i] == L'%' && i + 1 < Pattern.size()) {
            if (Pattern[i + 1] == L'd' && next < 4) {
                out += std::to_wstring(parts[next++]);
                ++i;
                continue;
            }
            if (Pattern[i + 1] == L'%') {
                out += L'%';
                ++i;
                continue;
            }
        }
        out += Pattern[i];
    }
    return out;
}

const std::wstring& ApplicationTitle() {
    return TitleText();
}

void SetApplicationTitle(const std::wstring& Title) {
    TitleText() = Title;
}

void OpenUrl(const std::wstring& Url) {
    ShellOpen(Url, SW_SHOWNORMAL);
}

std::wstring FileVersionText(const std::wstring& Pattern) {
    const auto version = FileVersion(ProgramPath());
    if (!version)
        return kNoVersion;
    int parts[4] = {};
    std::copy(version->begin(), version->end(), parts);
    return FormatVersion(Pattern, parts);
}

} // namespace Orv
