#include "core/AnswerText.h"

#include "core/TextCodec.h"

namespace core {
namespace {

struct NamedCharset {
    std::wstring_view name;
    AnswerCharset charset;
};

constexpr AnswerCharset CodePage(unsigned codePage) {
    return {AnswerEncoding::CodePage, codePage};
}

// Names in lower case. Numbered families (windows-1252, cp949, iso-8859-2)
// are worked out below.
constexpr NamedCharset kNamedCharsets[] = {
    {L"utf-8", {AnswerEncoding::Utf8}},
    {L"utf8", {AnswerEncoding::Utf8}},
    {L"utf-16", {AnswerEncoding::Utf16LE}},
    {L"utf-16le", {AnswerEncoding::Utf16LE}},
    {L"unicode", {AnswerEncoding::Utf16LE}},
    {L"utf-16be", {AnswerEncoding::Utf16BE}},
    {L"unicodefffe", {AnswerEncoding::Utf16BE}},
    {L"us-ascii", CodePage(20127)},
    {L"ascii", CodePage(20127)},
    {L"latin1", CodePage(28591)},
    {L"l1", CodePage(28591)},
    {L"shift_jis", CodePage(932)},
    {L"shift-jis", CodePage(932)},
    {L"sjis", CodePage(932)},
    {L"x-sjis", CodePage(932)},
    {L"ms_kanji", CodePage(932)},
    {L"csshiftjis", CodePage(932)},
    {L"windows-31j", CodePage(932)},
    {L"euc-jp", CodePage(20932)},
    {L"x-euc-jp", CodePage(20932)},
    {L"iso-2022-jp", CodePage(50220)},
    {L"euc-kr", CodePage(949)},
    {L"ks_c_5601-1987", CodePage(949)},
    {L"ks_c_5601", CodePage(949)},
    {L"ksc5601", CodePage(949)},
    {L"korean", CodePage(949)},
    {L"gb2312", CodePage(936)},
    {L"gbk", CodePage(936)},
    {L"x-gbk", CodePage(936)},
    {L"csgb2312", CodePage(936)},
    {L"gb18030", CodePage(54936)},
    {L"big5", CodePage(950)},
    {L"big5-hkscs", CodePage(950)},
    {L"csbig5", CodePage(950)},
    {L"koi8-r", CodePage(20866)},
    {L"koi8-u", CodePage(21866)},
};

// Prefixes followed by a Windows code page number.
constexpr std::wstring_view kCodePagePrefixes[] = {L"windows-", L"x-cp", L"cp", L"ibm"};
constexpr std::wstring_view kIsoLatinPrefix = L"iso-8859-";
constexpr std::wstring_view kIsoLatinAltPrefix = L"iso_8859-";
constexpr unsigned kIsoLatinBase = 28590; // iso-8859-N is code page 28590 + N
constexpr unsigned kIsoLatinParts[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 15};
constexpr std::size_t kMaxNumberDigits = 5;

std::wstring LowerAscii(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return out;
}

std::wstring_view Trim(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<unsigned> Number(std::wstring_view digits) {
    if (digits.empty() || digits.size() > kMaxNumberDigits)
        return std::nullopt;
    unsigned value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value;
}

std::optional<unsigned> NumberAfter(std::wstring_view name, std::wstring_view prefix) {
    if (name.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    return Number(name.substr(prefix.size()));
}

// Windows code pages that stand for the encodings decoded here.
constexpr unsigned kUtf8CodePage = 65001;
constexpr unsigned kUtf16LECodePage = 1200;
constexpr unsigned kUtf16BECodePage = 1201;

std::optional<AnswerCharset> CodePageCharset(unsigned number) {
    switch (number) {
    case 0:
        return std::nullopt;
    case kUtf8CodePage:
        return AnswerCharset{AnswerEncoding::Utf8};
    case kUtf16LECodePage:
        return AnswerCharset{AnswerEncoding::Utf16LE};
    case kUtf16BECodePage:
        return AnswerCharset{AnswerEncoding::Utf16BE};
    default:
        return CodePage(number);
    }
}

std::optional<AnswerCharset> NumberedCharset(std::wstring_view name) {
    for (const auto prefix : {kIsoLatinPrefix, kIsoLatinAltPrefix}) {
        if (const auto part = NumberAfter(name, prefix)) {
            for (const unsigned known : kIsoLatinParts)
                if (*part == known)
                    return CodePage(kIsoLatinBase + known);
            return std::nullopt;
        }
    }
    for (const auto prefix : kCodePagePrefixes)
        if (const auto number = NumberAfter(name, prefix))
            return CodePageCharset(*number);
    return std::nullopt;
}

} // namespace

std::wstring ContentTypeCharset(std::wstring_view contentType) {
    std::size_t next = contentType.find(L';');
    while (next != std::wstring_view::npos) {
        const std::size_t start = next + 1;
        next = contentType.find(L';', start);
        const std::wstring_view parameter = contentType.substr(start, next - start);
        const std::size_t equals = parameter.find(L'=');
        if (equals == std::wstring_view::npos ||
            LowerAscii(Trim(parameter.substr(0, equals))) != L"charset")
            continue;
        std::wstring_view value = Trim(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
            value = value.substr(1, value.size() - 2);
        return std::wstring(value);
    }
    return {};
}

std::optional<AnswerCharset> CharsetEncoding(std::wstring_view charset) {
    const std::wstring name = LowerAscii(charset);
    if (name.empty())
        return AnswerCharset{AnswerEncoding::Utf8};
    for (const auto& named : kNamedCharsets)
        if (named.name == name)
            return named.charset;
    return NumberedCharset(name);
}

std::optional<AnswerCharset> CharsetEncoding(std::wstring_view charset,
                                             const CharsetDatabase& database) {
    std::wstring name(charset);
    for (int aliases = 0; aliases <= kMaxCharsetAliases; ++aliases) {
        if (const auto known = CharsetEncoding(name))
            return known;
        const auto record = database ? database(name) : std::nullopt;
        if (!record)
            return std::nullopt;
        if (record->aliasFor.empty())
            return CodePageCharset(record->codePage);
        name = record->aliasFor;
    }
    return std::nullopt;
}

std::optional<std::wstring> DecodeAnswer(std::string_view body, std::wstring_view contentType,
                                         const CodePageDecoder& decodeCodePage,
                                         const CharsetDatabase& database) {
    const auto charset = CharsetEncoding(ContentTypeCharset(contentType), database);
    if (!charset)
        return std::nullopt;
    switch (charset->encoding) {
    case AnswerEncoding::Utf8:
        return DecodeUtf8(body);
    case AnswerEncoding::Utf16LE:
        return DecodeUtf16(body, false);
    case AnswerEncoding::Utf16BE:
        return DecodeUtf16(body, true);
    case AnswerEncoding::CodePage:
        return decodeCodePage(charset->codePage, body);
    }
    return std::nullopt;
}

} // namespace core
