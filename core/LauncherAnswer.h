// The launcher's side of the update service protocol, apart from the network
// calls: the request's header block, the main program's path beside the
// launcher, the answer's bytes and the download link taken from it.
//
// The launcher's client differs on purpose from the main program's: two
// headers joined by a lone carriage return, a case-sensitive marker, a link
// that ends at the first double quote even when it is escaped, and its own
// unescaping.
#pragma once

#include <string>
#include <string_view>

namespace core::launcher {

inline constexpr wchar_t kMainProgramFile[] = L"Mirvex.exe";

// "User-Version: <version>", one U+000D, "User-Debug: false"; nothing after.
std::wstring RequestHeaders(std::wstring_view version);

// `modulePath` cut after its last ':', '\' or '/' (kept), then `fileName`;
// just `fileName` when the path has none of them.
std::wstring SiblingPath(std::wstring_view modulePath, std::wstring_view fileName);

// Decodes JSON string escapes: \" \' \/ \\ give the character, \b \f \n \r \t
// the control character, \u and up to four more characters one UTF-16 unit
// when they are all hexadecimal digits with a value other than 0 (nothing
// otherwise; the characters are consumed either way); a backslash before any
// other character, or at the very end, vanishes with that character.
std::wstring JsonUnescape(std::wstring_view text);

// The text after the first `"update":"` (exact code units) up to the next
// '"', unescaped; empty without the marker or without a closing quote.
std::wstring LinkInAnswer(std::wstring_view answer);

// The link of LinkInAnswer when it is an absolute web address (the only kind
// the launcher offers and opens); empty otherwise.
std::wstring OfferedLink(std::wstring_view answer);

// The answer's bytes as they arrive, up to kMaxAnswerBytes. A larger answer
// is dropped whole: it offers no update.
class AnswerBytes {
  public:
    // False once the answer has grown past the limit: stop reading.
    bool Append(std::string_view chunk);
    bool TooLarge() const { return tooLarge_; }
    // Every byte received, or none when the answer was too large.
    const std::string& Bytes() const { return bytes_; }

  private:
    std::string bytes_;
    bool tooLarge_ = false;
};

} // namespace core::launcher
