// UTF-8 / UTF-16 / ANSI conversions on Windows.
#pragma once

#include <string>
#include <string_view>

namespace ui {

std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);
// The system's ANSI code page (CP_ACP). Characters it cannot hold become its
// default character.
std::wstring FromAnsi(std::string_view bytes);
std::string ToAnsi(std::wstring_view text);

} // namespace ui
