// Splitting of a program's command line as the launcher reads it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// The launcher's first argument that lets it start the main program; compared
// exactly (case counts).
inline constexpr wchar_t kStartMainProgramArgument[] = L"/inst";

// Rules:
// - every character up to U+0020 separates tokens and is skipped before one;
// - a token runs up to the next such character outside a quoted run; a '"'
//   starts a quoted run that ends after the next '"', or at the end of the
//   text when none follows;
// - a token of two or more characters that begins and ends with '"' loses
//   exactly these two quotes; quotes elsewhere stay.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// The second token (the first one is the program's own path), or the empty
// text when there is none.
std::wstring FirstArgument(std::wstring_view commandLine);

} // namespace core
