#include "DelimitedText.h"

namespace core {

namespace {

constexpr wchar_t kQuote = L'"';

// Reads a quoted field whose opening quote is at pos. Returns the position
// after the closing quote, or line.size() when the quote is never closed.
std::size_t ReadQuoted(std::wstring_view line, std::size_t pos, std::wstring& field) {
    ++pos; // opening quote
    while (pos < line.size()) {
        const wchar_t ch = line[pos];
        if (ch != kQuote) {
            field += ch;
            ++pos;
            continue;
        }
        if (pos + 1 < line.size() && line[pos + 1] == kQuote) {
            field += kQuote;
            pos += 2;
            continue;
        }
        return pos + 1;
    }
    return pos;
}

} // namespace

std::vector<std::wstring> SplitDelimitedFields(std::wstring_view line, wchar_t delimiter) {
    std::vector<std::wstring> fields;
    if (line.empty())
        return fields;
    std::size_t pos = 0;
    while (true) {
        if (pos < line.size() && line[pos] == kQuote) {
            std::wstring field;
            pos = ReadQuoted(line, pos, field);
            fields.push_back(std::move(field));
            if (pos == line.size())
                return fields;
            if (line[pos] == delimiter)
                ++pos;
            // Otherwise whatever follows the closing quote starts a field of
            // its own; it cannot begin with a quote, which would have been a
            // doubled one.
            continue;
        }
        const std::size_t end = line.find(delimiter, pos);
        if (end == std::wstring_view::npos) {
            fields.emplace_back(line.substr(pos));
            return fields;
        }
        fields.emplace_back(line.substr(pos, end - pos));
        pos = end + 1;
    }
}

} // namespace core
