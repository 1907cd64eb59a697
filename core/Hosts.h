// Where the programs find the maker's web services. The build gives the
// defaults (BuildConfig.h); the environment variables MIRVEX_WEB_HOST and
// MIRVEX_LINK_HOST point one run elsewhere, e.g. at a stand-in service on
// loopback for the tests, or at the maker's staging service.
#pragma once

#include <string>
#include <string_view>

namespace core {

inline constexpr char kWebHostVariable[] = "MIRVEX_WEB_HOST";
inline constexpr char kLinkHostVariable[] = "MIRVEX_LINK_HOST";
inline constexpr wchar_t kUpdateServicePath[] = L"/api.init.php";
inline constexpr wchar_t kProductPagePath[] = L"/mirvex";

// True for "http://" or "https://", then a host name or IPv4 address
// (letters, digits, '.', '-'), optionally ":" and a port of 1 to 5 digits,
// and nothing else but an optional final "/".
bool IsServiceHost(std::wstring_view text);

// `candidate` without a final "/" when it is a service host, otherwise
// `fallback`. A malformed override never sends a request somewhere odd.
std::wstring ChooseHost(std::wstring_view candidate, std::wstring_view fallback);

// The hosts this run uses: the environment's override or the build's default.
std::wstring WebHost();
std::wstring LinkHost();

// The update service's address, the web home page and the product page.
std::wstring UpdateServiceUrl();
std::wstring HomePageUrl();
std::wstring ProductPageUrl();

} // namespace core
