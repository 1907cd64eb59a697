// What the programs take from the update service and may hand to the shell.
// The link comes from the network and the shell's "open" verb also starts
// local programs and opens files, so only plain web addresses are offered.
#pragma once

#include <cstddef>
#include <string_view>

namespace core {

// An answer larger than this is not read further and offers no update.
inline constexpr std::size_t kMaxAnswerBytes = 1024 * 1024;

// True for an absolute "http://" or "https://" address (scheme in any letter
// case) with a host, and without blanks, control characters, quotes or
// backslashes anywhere (they cannot occur in a well-formed address and could
// change how the shell passes it on).
bool IsWebLink(std::wstring_view link);

} // namespace core
