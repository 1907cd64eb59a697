// The translation catalogue: lines of "language=text", grouped in blocks
// separated by one empty line. Every language's text of a block is a key for
// the block, so a text translates the same whatever language it is in.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace core {

class Catalogue {
  public:
    Catalogue() = default;
    explicit Catalogue(std::vector<std::wstring> lines) : lines_(std::move(lines)) {}

    const std::vector<std::wstring>& Lines() const { return lines_; }
    bool Empty() const { return lines_.empty(); }

    // Lookup without the backslash-n rule: the value of the first line (any
    // language) equal to source, ordinal and case-sensitive; then, from the
    // start of that line's block down to the next empty line, the first line
    // whose name equals language. Returns source when nothing matches, the
    // block has no such line, or its value is empty.
    std::wstring Lookup(std::wstring_view source, std::wstring_view language) const;

    // The full rule: with an empty language the source comes back unchanged;
    // otherwise Lookup, then every backslash + 'n' becomes one CR.
    std::wstring Translate(std::wstring_view source, std::wstring_view language) const;

  private:
    std::vector<std::wstring> lines_;
};

// Name and value of a line: the text before and after the first '='. A line
// without '=' has an empty name and an empty value.
std::wstring_view LineName(std::wstring_view line);
std::wstring_view LineValue(std::wstring_view line);

} // namespace core
