// The launcher's own message catalogue: English keys, translated by the
// user's full Windows locale identifier (language and country), with the key
// itself as the fallback.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The keys the launcher looks up.
namespace launcher_text {
inline constexpr wchar_t kProductName[] = L"Mirvex";
inline constexpr wchar_t kAbout[] = L"About";
inline constexpr wchar_t kQuit[] = L"Quit";
inline constexpr wchar_t kConfigurationInvalid[] =
    L"The application configuration file is invalid.";
inline constexpr wchar_t kReinstall[] = L"Please reinstall and run.";
inline constexpr wchar_t kUpdated[] = L"This program has been updated.";
inline constexpr wchar_t kRecommended[] =
    L"It is recommended to download and execute new for stable use.";
inline constexpr wchar_t kAskDownload[] = L"Do you want to download it?";
} // namespace launcher_text

// The text of `key` for locale `lcid`: found only for a key equal to a table
// key unit for unit and a locale listed for it exactly; otherwise `key`.
std::wstring LauncherText(std::wstring_view key, std::uint32_t lcid);

} // namespace core
