#include "Catalogue.h"

namespace core {

namespace {

constexpr wchar_t kNameValueSeparator = L'=';
constexpr std::wstring_view kEscapedLineBreak = L"\\n";
constexpr wchar_t kLineBreak = L'\r';

std::wstring ReplaceEscapedLineBreaks(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.substr(pos, kEscapedLineBreak.size()) == kEscapedLineBreak) {
            out += kLineBreak;
            pos += kEscapedLineBreak.size();
        } else {
            out += text[pos++];
        }
    }
    return out;
}

} // namespace

std::wstring_view LineName(std::wstring_view line) {
    const std::size_t split = line.find(kNameValueSeparator);
    return split == std::wstring_view::npos ? std::wstring_view{} : line.substr(0, split);
}

std::wstring_view LineValue(std::wstring_view line) {
    const std::size_t split = line.find(kNameValueSeparator);
    return split == std::wstring_view::npos ? std::wstring_view{} : line.substr(split + 1);
}

// An empty source is returned as it is: otherwise it would equal the empty
// value of any line without '=' (or with nothing after it) and an empty label
// would pick up some unrelated text.
std::wstring Catalogue::Lookup(std::wstring_view source, std::wstring_view language) const {
    if (source.empty())
        return std::wstring(source);
    std::size_t blockStart = 0;
    bool found = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].empty()) {
            blockStart = i + 1;
            continue;
        }
        if (LineValue(lines_[i]) == source) {
            found = true;
            break;
        }
    }
    if (!found)
        return std::wstring(source);
    for (std::size_t i = blockStart; i < lines_.size() && !lines_[i].empty(); ++i) {
        if (LineName(lines_[i]) != language)
            continue;
        const std::wstring_view value = LineValue(lines_[i]);
        return std::wstring(value.empty() ? source : value);
    }
    return std::wstring(source);
}

std::wstring Catalogue::Translate(std::wstring_view source, std::wstring_view language) const {
    if (language.empty())
        return std::wstring(source);
    return ReplaceEscapedLineBreaks(Lookup(source, language));
}

} // namespace core
