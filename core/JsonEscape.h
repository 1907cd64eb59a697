// Decoding of JSON string escapes, shared by both programs' readers of the
// update service's answer, which differ only in what "\u0000" yields.
#pragma once

#include <string>
#include <string_view>

namespace core {

enum class NullEscape {
    Keep, // "\u0000" yields the code unit U+0000
    Drop, // "\u0000" yields nothing
};

// Copies `text`, replacing each backslash and the character after it:
// \" \' \/ \\ give that character; \b \f \n \r \t their control characters;
// \u and up to four following characters (fewer at the end of the text) one
// UTF-16 code unit of that hexadecimal value, all of them consumed. A \u
// whose characters are not all hexadecimal digits, or that has none, yields
// nothing; so do any other escape and a backslash at the very end.
std::wstring UnescapeJsonString(std::wstring_view text, NullEscape nulls);

} // namespace core
