// What the programs take from the update service and may hand to the shell.
// The link comes from the network and the shell's "open" verb also starts
// local programs and opens files, so only plain web addresses are offered.
#pragma once

#include <cstddef>
#include <string_view>

namespace core {

// An answer larger than this is not read further and offers no update.
inline constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;

// The longest link that is offered, in characters.
inline constexpr std::size_t kMaxWebLinkLength = 2048;

// True for an absolute "http://" or "https://" address (scheme in any letter
// case) with a host, at most kMaxWebLinkLength characters long, made only of
// printable ASCII (U+0021 to U+007E) other than quotes and backslashes.
// Blanks, control characters and anything beyond ASCII cannot occur in a
// well-formed address; they, quotes and backslashes could change how the
// shell or a browser that reads its command line in the ANSI code page
// passes it on (a full-width quote can become '"' there).
bool IsWebLink(std::wstring_view link);

// True for an address whose scheme is "https" (any letter case).
bool IsSecureAddress(std::wstring_view address);

} // namespace core
