// How the bytes of the update service's answer become text: by the charset
// that its Content-Type header names, UTF-8 when it names none. A fixed table
// knows the common names; the platform's own charset database (on Windows
// the MIME database in the registry) knows the rest.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

enum class AnswerEncoding { Utf8, Utf16LE, Utf16BE, CodePage };

struct AnswerCharset {
    AnswerEncoding encoding = AnswerEncoding::Utf8;
    unsigned codePage = 0; // for AnswerEncoding::CodePage: a Windows code page
};

// The charset parameter of a Content-Type value ("text/html; charset=euc-kr"),
// without quotes; empty when there is none.
std::wstring ContentTypeCharset(std::wstring_view contentType);

// What a charset name stands for, letter case ignored; nothing for a name
// this table does not know. The empty name is UTF-8.
std::optional<AnswerCharset> CharsetEncoding(std::wstring_view charset);

// What the platform's charset database holds for one name: another name it
// is an alias for, or else the Windows code page of its text.
struct CharsetRecord {
    std::wstring aliasFor;
    unsigned codePage = 0;
};

// Looks a name up in the platform's charset database; nothing when the name
// is not there.
using CharsetDatabase = std::function<std::optional<CharsetRecord>(std::wstring_view name)>;

// How many aliases are followed at most: a database whose aliases go round
// in a circle names no charset.
inline constexpr int kMaxCharsetAliases = 8;

// By the fixed table, and a name the table lacks by `database` (when given),
// following its aliases.
std::optional<AnswerCharset> CharsetEncoding(std::wstring_view charset,
                                             const CharsetDatabase& database);

// Converts bytes of a Windows code page; nothing when it cannot. Windows code
// passes MultiByteToWideChar, host tests a stand-in.
using CodePageDecoder =
    std::function<std::optional<std::wstring>(unsigned codePage, std::string_view bytes)>;

// The body as text; nothing when its charset is unknown (to the table and to
// `database`) or the body cannot be converted.
std::optional<std::wstring> DecodeAnswer(std::string_view body, std::wstring_view contentType,
                                         const CodePageDecoder& decodeCodePage,
                                         const CharsetDatabase& database = {});

} // namespace core
