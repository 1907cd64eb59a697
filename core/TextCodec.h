// Decoding of stored text (record file, translation catalogue): byte-order
// mark detection, UTF-8 / UTF-16 decoding and line splitting. All decoded text
// is UTF-16 code units held in wchar_t, on every platform.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct ByteOrderMark {
    TextEncoding encoding = TextEncoding::Ansi;
    std::size_t length = 0; // bytes taken by the mark; 0 when there is none
};

// EF BB BF = UTF-8, FF FE = UTF-16 LE, FE FF = UTF-16 BE; anything else is
// ANSI with no mark.
ByteOrderMark DetectByteOrderMark(std::string_view bytes);

// Malformed sequences become U+FFFD; code points above U+FFFF become
// surrogate pairs.
std::wstring DecodeUtf8(std::string_view bytes);
// UTF-16 code units to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
// A trailing odd byte is dropped.
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian);

// Converts bytes in the system's ANSI code page. Windows code passes
// MultiByteToWideChar(CP_ACP); host tests pass a stand-in.
using AnsiDecoder = std::function<std::wstring(std::string_view)>;

// Decodes by byte-order mark (the mark itself is not part of the result),
// falling back to the ANSI decoder when there is none.
std::wstring DecodeText(std::string_view bytes, const AnsiDecoder& ansi);

// Cuts text into lines at CR LF, a lone CR or a lone LF. A break at the very
// end does not make an extra empty line; an empty text has no lines.
std::vector<std::wstring> SplitLines(std::wstring_view text);

} // namespace core
