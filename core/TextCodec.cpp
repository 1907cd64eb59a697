#include "TextCodec.h"

#include <cstdint>

namespace core {

namespace {

constexpr wchar_t kReplacementCharacter = 0xFFFD;
constexpr wchar_t kCarriageReturn = L'\r';
constexpr wchar_t kLineFeed = L'\n';

constexpr std::uint32_t kLastBmpCodePoint = 0xFFFF;
constexpr std::uint32_t kSupplementaryBase = 0x10000;
constexpr std::uint32_t kHighSurrogateBase = 0xD800;
constexpr std::uint32_t kLowSurrogateBase = 0xDC00;
constexpr std::uint32_t kSurrogatePayloadBits = 10;
constexpr std::uint32_t kSurrogatePayloadMask = 0x3FF;

constexpr unsigned char kContinuationMin = 0x80;
constexpr unsigned char kContinuationMax = 0xBF;
constexpr unsigned char kContinuationPayloadMask = 0x3F;
constexpr unsigned kContinuationPayloadBits = 6;

// How a UTF-8 lead byte continues: the number of continuation bytes and the
// range allowed for the first of them. Narrowing that first range is what
// rejects overlong forms (E0, F0), UTF-16 surrogates (ED) and code points
// above U+10FFFF (F4).
struct Utf8Lead {
    unsigned continuations = 0;
    std::uint32_t payload = 0;
    unsigned char firstMin = kContinuationMin;
    unsigned char firstMax = kContinuationMax;
};

bool ClassifyLead(unsigned char lead, Utf8Lead& out) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        out = {1, lead & 0x1Fu, kContinuationMin, kContinuationMax};
    } else if (lead == 0xE0) {
        out = {2, lead & 0x0Fu, 0xA0, kContinuationMax};
    } else if (lead == 0xED) {
        out = {2, lead & 0x0Fu, kContinuationMin, 0x9F};
    } else if (lead >= 0xE1 && lead <= 0xEF) {
        out = {2, lead & 0x0Fu, kContinuationMin, kContinuationMax};
    } else if (lead == 0xF0) {
        out = {3, lead & 0x07u, 0x90, kContinuationMax};
    } else if (lead >= 0xF1 && lead <= 0xF3) {
        out = {3, lead & 0x07u, kContinuationMin, kContinuationMax};
    } else if (lead == 0xF4) {
        out = {3, lead & 0x07u, kContinuationMin, 0x8F};
    } else {
        return false; // a stray continuation byte, C0, C1 or F5-FF
    }
    return true;
}

void AppendCodePoint(std::wstring& out, std::uint32_t cp) {
    if (cp <= kLastBmpCodePoint) {
        out += static_cast<wchar_t>(cp);
        return;
    }
    cp -= kSupplementaryBase;
    out += static_cast<wchar_t>(kHighSurrogateBase + (cp >> kSurrogatePayloadBits));
    out += static_cast<wchar_t>(kLowSurrogateBase + (cp & kSurrogatePayloadMask));
}

bool StartsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

} // namespace

ByteOrderMark DetectByteOrderMark(std::string_view bytes) {
    static constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    static constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
    static constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
    if (StartsWith(bytes, kUtf8Mark))
        return {TextEncoding::Utf8, kUtf8Mark.size()};
    if (StartsWith(bytes, kUtf16LEMark))
        return {TextEncoding::Utf16LE, kUtf16LEMark.size()};
    if (StartsWith(bytes, kUtf16BEMark))
        return {TextEncoding::Utf16BE, kUtf16BEMark.size()};
    return {};
}

// Each maximal ill-formed subsequence becomes one U+FFFD: a sequence that is
// cut short consumes only the bytes that were valid so far, so the byte that
// broke it is examined again as a possible lead.
std::wstring DecodeUtf8(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < kContinuationMin) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        Utf8Lead form;
        if (!ClassifyLead(lead, form)) {
            out += kReplacementCharacter;
            ++i;
            continue;
        }
        std::uint32_t cp = form.payload;
        std::size_t next = i + 1;
        bool complete = true;
        for (unsigned k = 0; k < form.continuations; ++k, ++next) {
            if (next >= bytes.size()) {
                complete = false;
                break;
            }
            const auto byte = static_cast<unsigned char>(bytes[next]);
            const unsigned char min = k == 0 ? form.firstMin : kContinuationMin;
            const unsigned char max = k == 0 ? form.firstMax : kContinuationMax;
            if (byte < min || byte > max) {
                complete = false;
                break;
            }
            cp = (cp << kContinuationPayloadBits) | (byte & kContinuationPayloadMask);
        }
        if (complete)
            AppendCodePoint(out, cp);
        else
            out += kReplacementCharacter;
        i = next;
    }
    return out;
}

// Units are passed through as they are, unpaired surrogates included: the
// text stays UTF-16, exactly as stored.
std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned unit = bigEndian ? (first << 8) | second : (second << 8) | first;
        out += static_cast<wchar_t>(unit);
    }
    return out;
}

std::wstring DecodeText(std::string_view bytes, const AnsiDecoder& ansi) {
    const ByteOrderMark mark = DetectByteOrderMark(bytes);
    const std::string_view body = bytes.substr(mark.length);
    switch (mark.encoding) {
    case TextEncoding::Utf8:
        return DecodeUtf8(body);
    case TextEncoding::Utf16LE:
        return DecodeUtf16(body, false);
    case TextEncoding::Utf16BE:
        return DecodeUtf16(body, true);
    case TextEncoding::Ansi:
        break;
    }
    return ansi(body);
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const wchar_t ch = text[i];
        if (ch != kCarriageReturn && ch != kLineFeed) {
            ++i;
            continue;
        }
        lines.emplace_back(text.substr(start, i - start));
        ++i;
        if (ch == kCarriageReturn && i < text.size() && text[i] == kLineFeed)
            ++i;
        start = i;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = static_cast<std::uint16_t>(text[i]);
        // Text is UTF-16 code units; join surrogate pairs.
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

} // namespace core
