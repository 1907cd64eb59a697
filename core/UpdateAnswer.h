// Reading the update service's answer: the download link is the JSON string
// member "update", found by a plain text search and then unescaped. Only an
// absolute web address is ever offered; anything else counts as no update.
#pragma once

#include <string>
#include <string_view>

namespace core {

// The marker that opens the link, and the character that closes it.
inline constexpr wchar_t kUpdateMarker[] = L"\"update\":\"";
inline constexpr wchar_t kUpdateEndMarker[] = L"\"";

// The text of `Source` between the first `StartMarker` and the next
// `EndMarker` after it; empty when either is missing or a marker is empty.
// The search ignores the letter case of a to z. When the end marker is a
// single double or single quote, a backslash directly before that quote
// hides the quote from the search (so escaped quotes, and escaped copies of
// the start marker, are not found).
std::wstring ExtractBetween(std::wstring_view Source, std::wstring_view StartMarker,
                            std::wstring_view EndMarker);

// Decodes JSON string escapes (\" \' \/ \\ \b \f \n \r \t \uXXXX). An unknown
// escape and a final lone backslash yield nothing. "\u" takes up to four
// following characters as one UTF-16 code unit; when they are not all
// hexadecimal digits (or there are none) the escape yields nothing and the
// characters are still consumed.
std::wstring JsonUnescape(std::wstring_view Source);

// The download link of an answer as written in it: JsonUnescape of the
// member's raw text. Empty: no update.
std::wstring UpdateLink(std::wstring_view answer);

// The link to offer the user: the answer's link when it is an absolute
// http(s) address, otherwise empty (no update).
std::wstring OfferedLink(std::wstring_view answer);

} // namespace core
