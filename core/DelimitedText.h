// Splitting of one line of comma-delimited text, as the record file uses it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Rules:
// - characters around fields, spaces included, stay part of the fields;
// - a field that begins with '"' is quoted: it ends at the next '"' that is
//   not doubled, a doubled '""' inside stands for one '"', and a quote that is
//   never closed runs to the end of the line; characters after the closing
//   quote, up to the next delimiter, form a further field of their own;
// - empty fields count, including one after a delimiter at the very end;
// - an empty line has no fields.
std::vector<std::wstring> SplitDelimitedFields(std::wstring_view line, wchar_t delimiter = L',');

} // namespace core
