#include "core/CommandLine.h"

namespace core {
namespace {

constexpr wchar_t kQuote = L'"';

bool IsSeparator(wchar_t c) {
    return c <= L' ';
}

// Reads the token that starts at `pos` (not a separator); returns the
// position after it.
std::size_t ReadToken(std::wstring_view text, std::size_t pos, std::wstring& token) {
    const std::size_t start = pos;
    bool quoted = false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] == kQuote)
            quoted = !quoted;
        else if (!quoted && IsSeparator(text[pos]))
            break;
    }
    std::wstring_view raw = text.substr(start, pos - start);
    if (raw.size() >= 2 && raw.front() == kQuote && raw.back() == kQuote)
        raw = raw.substr(1, raw.size() - 2);
    token.assign(raw);
    return pos;
}

} // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    std::vector<std::wstring> tokens;
    std::size_t pos = 0;
    while (true) {
        while (pos < commandLine.size() && IsSeparator(commandLine[pos]))
            ++pos;
        if (pos == commandLine.size())
            return tokens;
        pos = ReadToken(commandLine, pos, tokens.emplace_back());
    }
}

std::wstring FirstArgument(std::wstring_view commandLine) {
    auto tokens = SplitCommandLine(commandLine);
    return tokens.size() > 1 ? std::move(tokens[1]) : std::wstring();
}

} // namespace core
