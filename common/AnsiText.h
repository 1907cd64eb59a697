// Text in the system's ANSI code page (CP_ACP), the encoding of the record
// file and of stored text without a byte-order mark.
#pragma once

#include <string>
#include <string_view>

namespace Orv {

// Both convert the whole text or raise std::length_error: the system's
// conversion counts in int, and a text it cannot count is never converted
// in part.
std::wstring FromAnsi(std::string_view bytes);
// Characters the code page cannot hold become its default character.
std::string ToAnsi(std::wstring_view text);

} // namespace Orv
