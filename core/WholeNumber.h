// Strict decimal whole-number parsing shared by every reader of user or file
// text: an optional sign, then one or more ASCII digits, nothing else, within
// the signed 32-bit range.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

std::optional<std::int32_t> TryParseWholeNumber(std::wstring_view text);

// As TryParseWholeNumber, but raises ConversionError with a message that
// quotes the text.
std::int32_t ParseWholeNumber(std::wstring_view text);

} // namespace core
